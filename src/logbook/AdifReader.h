#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "logbook/AdifRecord.h"

namespace miv {

struct ReadRecord {
    int line;  // where its first field starts, from 1
    AdifRecord record;
};

struct AdifProblem {
    int line;
    std::string what;
};

// What an ADIF file holds, whatever program wrote it, and what is wrong with it.
struct AdifLog {
    std::vector<ReadRecord> records;  // every record read whole, good or bad
    std::vector<AdifProblem> problems;
};

// Reads ADI text: an optional header up to <EOH> (there is one unless the text starts
// with '<'), then fields "<NAME:LENGTH[:TYPE]>DATA" to each <EOR>. Text between fields is
// ignored, as ADIF allows. Then checks each record: a call, a valid QSO_DATE and TIME_ON,
// a mode, a known band that holds FREQ, a valid GRIDSQUARE.
AdifLog readAdif(std::string_view text);

// Whether text is a Maidenhead locator of 2, 4, 6 or 8 characters (any case).
bool validLocator(std::string_view text);

}  // namespace miv
