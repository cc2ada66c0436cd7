#pragma once
// The uploader's connections to the transfer server.
#include "ControlConnection.h"

// Connects `connection` to the transfer server (port 7510). When no
// connection can be made the user is told with the application's plain box
// and the exchanges on it then answer empty text. False on failure.
bool ConnectToTransferServer(ControlConnection& connection);
