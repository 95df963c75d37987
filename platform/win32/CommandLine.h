#pragma once
// The C runtime's entry hands WinMain one command-line text, as Windows does.
#include <string>

// Joins the arguments with single blanks. An argument holding blanks or tabs
// is quoted again: after its first '=' when it has one (-config="a b"), so the
// shell still splits name and value, else as a whole; an empty one becomes "".
std::string JoinCommandLine(int count, const char* const* arguments);
