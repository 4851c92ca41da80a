#include "empty_archive.h"

#include <QFile>
#include <QSqlQuery>

#include "archive/archive_connection.h"

using namespace qm4250;

bool EmptyArchive(const ArchiveLocation& location, bool afterARun) {
    if (location.engine == ArchiveLocation::Engine::Sqlite) {
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(location.path + suffix);
        return true;
    }
    ArchiveConnection connection(location, ArchiveConnection::Access::Write);
    QSqlQuery query(connection.db());
    if (!connection.isOpen() ||
        !query.exec("SELECT 1 FROM information_schema.tables WHERE"
                    " table_schema = current_schema() AND table_name = 'tests'"))
        return false;
    if (!query.next())
        return true;
    if (afterARun)
        return query.exec(
            "TRUNCATE instruments, uploads, tests, unreadable_frames, exclusions RESTART IDENTITY");
    return query.exec("SELECT 1 FROM tests LIMIT 1") && !query.next();
}
