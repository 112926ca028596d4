#pragma once

#include <filesystem>

namespace simulator {

// The directory of the simulator's own library file, where its scenario and log live.
std::filesystem::path LibraryDirectory();

}  // namespace simulator
