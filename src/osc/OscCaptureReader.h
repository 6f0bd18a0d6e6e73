#pragma once

// Reads a capture back from the two files the export writes (the samples
// file and the parameters file of the same base name), as written by the
// program's export or by zelvo-capture: Windows-1252 text, CR LF or LF line
// ends, a decimal point or a decimal comma in the samples.
//
// The files hold voltages with two decimals, so a sample comes back exactly
// where one sample step is at least 0.02 V (500 mV/div and up with a x1
// probe, 50 mV/div and up with x10) and a zero line where one step of it is
// at least 0.01 V in its "Level". Finer scales come back as the nearest
// samples and position that give the same file again. Where a channel is
// switched off, its samples (all 0 V in the file) come back as 0 and its zero
// line as 128.

#include <string>

#include "osc/OscCapture.h"

// The two files of a capture named by either of them: a name ending in
// ".json" (in any case) is the parameters file and BASE.csv its samples file;
// any other name is the samples file and BASE.json its parameters file, BASE
// being the name without its last extension.
std::string OscCaptureSamplesFileName(const std::string& FileName);
std::string OscCaptureParametersFileName(const std::string& FileName);

// Parses both files completely before it returns; FileName may name either of
// them. Anything that is not such a pair (a missing file, a wrong number of
// lines or columns, a value that does not parse, a parameters file of another
// capture) raises one EOscError whose message names the file and, where there
// is one, the line: File "NAME", line N: WHAT.
TOscCapture OscReadCapture(const std::string& FileName);
