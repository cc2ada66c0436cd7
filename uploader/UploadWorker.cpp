#include "UploadWorker.h"

unsigned UploadWorker(void*) { return 1; }

void SendUploadComplete(std::int32_t) {}
