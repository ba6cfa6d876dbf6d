// The messages of the table layer's events, as the user sees them (data code page). Events
// without a text (progress, "not found") give an empty text.
#pragma once

#include <string>

std::string DbEventMessage(int code, const char* file_name);
