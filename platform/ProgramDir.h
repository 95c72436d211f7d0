#pragma once
#include <string>

// Directory of the running executable, with a trailing "/".
std::string ExecutableDir();
