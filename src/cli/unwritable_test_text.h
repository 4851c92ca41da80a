#pragma once

#include <string>

#include "export/unwritable_test.h"

namespace qm4250 {

// Which test a workbook could not hold and why, on one line, what it quotes escaped and cut as
// ShownCell cuts a cell: "test Seq# 123 of SN 4711: its PN is longer than a cell holds (32,767
// characters)"; the PN is named too when another field is at fault.
std::string UnwritableTestText(const UnwritableTest& test);

}  // namespace qm4250
