#pragma once
// Makes names from the file system safe to print: a control character in a file name must not
// move the cursor, clear the screen or start a line of its own in a report.

#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace velquin::cli {

// Control characters (C0, DEL, C1) and bytes that are not UTF-8 become \n, \t, \r or \xHH;
// everything else is kept as it is.
std::string EscapeForDisplay(std::string_view text);

bool IsValidUtf8(std::string_view text);

// Puts `text` into `object` under `key`. A JSON string holds Unicode only: a name that is not
// UTF-8 gets its escaped form there and its bytes in hexadecimal under key + "Hex", so nothing is
// lost.
void PutText(nlohmann::json& object, const char* key, const std::string& text);

}  // namespace velquin::cli
