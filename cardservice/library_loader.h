#pragma once

#include <filesystem>

#include "cardservice/card_service.h"

// The system's side of loading the card library, one implementation per system.
namespace cardservice::loader {

// The library, loaded; nullptr when it did not load, with the system's error, its text and
// whether a library that the file needs was missing put into `failure`.
void* Load(const std::filesystem::path& file, LoadFailure& failure);

// The address of an exported function; nullptr when the library has none of that name.
void* Find(void* library, const char* name);

}  // namespace cardservice::loader
