// The messages of the table layer's events, as the user sees them (data code page). Events
// without a text (progress, "not found") give an empty text.
#pragma once

#include <string>

// number: the event's number (records lost, for event 21).
std::string DbEventMessage(int code, const char* file_name, long number = 0);
