#pragma once
// The signature the transfer server is sent for every listed file: its listed
// size and ten bytes from the file's middle (upload_text::SignatureText).
#include <cstdint>
#include <string>

// `path` is read raw and shared; a file that cannot be opened or read gives a
// zeroed sample.
std::string MakeFileSignature(const std::string& path, std::int64_t size);
