#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qm4250 {

// qm4250-archive import FILE… and export FILE [filters]: brings saved workbooks into the archive
// and writes selections of it with the workbook writers. Reports on `out`, errors on `err`;
// returns the exit status.
int RunArchiveCommand(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err);

extern const char* const kArchiveCommandHelp;

}  // namespace qm4250
