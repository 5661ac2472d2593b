// The analysis key of the settings file: whether the lists show the Latency and Verdict columns.
#pragma once

namespace orvane {

// Reads "Analysis Columns" of section "Setup"; a file without it shows the classic lists.
bool LoadAnalysisColumns();

// Writes that key alone; the other keys of the file stay as they are.
void SaveAnalysisColumns(bool shown);

}  // namespace orvane
