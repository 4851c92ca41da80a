#pragma once

namespace qm4250 {

// Keeps what Qt says on its own about nothing the user has to act on off standard error, and
// passes every other message on as Qt would say it:
// - QStandardPaths on the runtime folder, unset under cron, systemd or `su` (or another user's):
//   this program keeps nothing there;
// - the SQL driver's words after a connection is lost ("QSqlQuery::exec: database not open",
//   "Unable to free statement: …"): the archive's own error says what happened, once;
// - the PostgreSQL driver on a server version it does not know: the archive works all the same.
// QT_LOGGING_RULES="qm4250.qt.debug=true" (or "*.debug=true") lets these through too. Called
// first thing in main, before Qt starts; once.
void KeepQtNoiseOffTheTerminal();

}  // namespace qm4250
