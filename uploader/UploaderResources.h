#pragma once

#define IDD_UPLOADER_MAIN 102
