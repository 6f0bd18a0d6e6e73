#pragma once

// Writing export files. The capture's own two files are TOscDevice's
// (SaveToFile, SaveParametersToFile); other exports write through this.

#include <string>

// Creates (or replaces) FileName and writes Bytes in one piece. Raises
// EOscError "Cannot create file ..." or "Cannot write file ..." with the
// system's reason; a half-written regular file is removed.
void OscWriteFile(const std::string& FileName, const std::string& Bytes);
