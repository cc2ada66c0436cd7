#pragma once
#include <optional>
#include <string>

#include "Config.h"

// Builds an upload job from a selection list ("path|size?" per file, CP949),
// optionally preceded by the chosen folder and "/". Nothing when an entry is
// malformed or the list is empty.
std::optional<UploadJob> UploadJobFromSelection(const std::string& cp949List);
