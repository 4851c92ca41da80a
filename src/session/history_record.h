#pragma once

#include <string_view>

struct WindowState;
class View;

// Decodes one history frame (the text between STX and ETX, kind character included): the first
// of an upload is the identification record, every later one a test record. Shows its line(s)
// in the list, keeps it in the history and, for the identification record, sets the relay
// heading. A frame that cannot be decoded still advances RecordIndex and is counted as
// unreadable.
void ParseHistoryRecord(std::string_view frameText, WindowState& state, View& view);
