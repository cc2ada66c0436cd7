#include "UploadJob.h"

UploadJob::UploadJob(UploadJobState& state, UploadJobHost& host) : state_(state), host_(host) {}

void UploadJob::ProcessUploadJob(const std::string&) {}
bool UploadJob::LoginAndLogout() { return false; }
void UploadJob::RequestUploadList(const std::string&, const std::string&) {}
void UploadJob::Logout() {}
void UploadJob::RefuseMember() {}
