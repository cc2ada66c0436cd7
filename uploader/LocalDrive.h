#pragma once
// The server names the files to send, so only files on a drive of this
// computer are read: a drive mapped to a network share would have Windows
// reach out to that host, and a letter without a drive names no file.
#include <string>

// `path` starts "X:\" (upload_text::IsAcceptableLocalPath has checked its
// form); true when that drive is fixed, removable, a CD-ROM or a RAM disk.
bool IsOnLocalDrive(const std::string& path);
