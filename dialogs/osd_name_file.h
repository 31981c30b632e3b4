#pragma once
// OsdName.pro in the hardware folder: the input OSD editor's source name of
// every slot, "<OsdSigName><1_1 name="..."/>...". The names are kept in
// code page 936 bytes, as the files the original program made hold them,
// although the declaration says "utf-8"; they are converted only here.
#include <string>
#include <vector>

namespace inputosd {

// The path of the file.
std::string OsdNameFilePath();

// The UTF-8 name of every slot (index = input x 4 + item); " " where the
// file has none. A missing file gives blanks quietly; an unreadable or
// damaged one, or a name that is not code page 936, gives one log line.
std::vector<std::string> ReadOsdNames();

// Whether the name can be stored: every character has a code page 936 form.
bool CanStoreOsdName(const std::string& utf8Name);

// Sets the name of the slot labelled `label` and writes the file back
// through a temporary file. A damaged file is kept as "OsdName.pro.bad"
// first; one that cannot be read is left alone. False, with why, when the
// name was not stored.
bool WriteOsdName(const std::string& label, const std::string& utf8Name, std::string& error);

} // namespace inputosd
