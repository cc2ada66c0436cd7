#pragma once
#include <cstdint>

class Service;

// The download data server on port 7301.
void ServeDownloadConnection(Service& service, int fd, uint64_t conn);
// The upload data server on port 7310.
void ServeUploadConnection(Service& service, int fd, uint64_t conn);
