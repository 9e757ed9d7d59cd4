#pragma once
// Whether a recording may begin on the data file named: a run creates its file empty, so a
// file that already holds data would be replaced. Plain C++.

#include <string>

// Empty when a run may write to path: it does not exist, it is empty, it is not a regular
// file (creating the file reports what is wrong with it then), or overwrite is set.
// Otherwise a sentence for a person naming the file, what it holds and how to go on.
std::string RefuseRecordTarget(const std::string& path, bool overwrite);
