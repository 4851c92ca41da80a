#pragma once

#include "protocol/history.h"

// count tests of one instrument (serial 4250100 + instrument), Seq# from firstSeq, spread evenly
// over three years from 2021, ten PNs taking turns, every 50th a reject.
qm4250::History InstrumentHistory(int instrument, int count, int firstSeq);
