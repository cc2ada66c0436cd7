#pragma once
// The first-run values of the shared settings, written by whichever transfer
// program starts first (while Config / User_Config reads 0).
class Application;

// True when the values were written by this call.
bool WriteFirstRunSettings(Application& app);
