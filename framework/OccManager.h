#pragma once
// The control-container manager: it gives the OLE controls of our dialogs
// their sites. A dialog template names such a control by its class id as the
// item's window class ("{8856F961-...}"), with the control's persisted state,
// if any, in the template's dialog initialisation data (resource type 240,
// record message 0x0376). The item's class must exist for the dialog to be
// created at all (RegisterPlaceholderControlClass); the manager then creates
// the control inside that item window, which becomes the site window and
// keeps the item's id, place and size.
//
// A program installs its manager on the Application (SetOccManager) after
// OleInitialize; dialogs created later get their controls at WM_INITDIALOG
// and close them at WM_DESTROY. A control that cannot be created leaves its
// item blank: the dialog works on without it, and nothing is shown.
#include <windows.h>

#include <vector>

#include "OleControlSite.h"

class OccManager {
public:
  virtual ~OccManager() = default;

  // A new site, with one reference. Programs override it to give their
  // sites more interfaces.
  virtual OleControlSite* CreateSite() { return new OleControlSite; }

  // Creates the controls of `dialog`, made from template `templateId` of
  // `module`. Returns the sites whose control was created, each with one
  // reference for the caller.
  std::vector<OleControlSite*> CreateDialogControls(HWND dialog, HINSTANCE module, UINT templateId);
};

// The persisted state that template `templateId` of `module` holds for its
// item `itemId`; empty when there is none or the data is malformed.
std::vector<BYTE> DialogControlState(HINSTANCE module, UINT templateId, int itemId);
