// What a page's script does with the control: checks that it is there,
// then hands it one transfer. Run by cscript:
//   TransferPage.js <method> <code> <member> <password> <version>
// where <method> is CtlDOWNLOADnow, CtlUPLOADnow or one of their _vista forms.
// Prints one line per call: "<call>=<result>".
var args = WScript.Arguments;
var control = new ActiveXObject("Haulbox_Active.Web_CTL");
WScript.Echo("ActiveXCheck=" + control.ActiveXCheck());
WScript.Echo("ActiveXSetupCheck(null)=" + control.ActiveXSetupCheck(null));
var method = args(0);
var result;
if (method == "CtlDOWNLOADnow") {
  result = control.CtlDOWNLOADnow(args(1), args(2), args(3), args(4));
} else if (method == "CtlUPLOADnow") {
  result = control.CtlUPLOADnow(args(1), args(2), args(3), args(4));
} else if (method == "CtlDOWNLOADnow_vista") {
  result = control.CtlDOWNLOADnow_vista(args(1), args(2), args(3), args(4));
} else if (method == "CtlUPLOADnow_vista") {
  result = control.CtlUPLOADnow_vista(args(1), args(2), args(3), args(4));
}
WScript.Echo(method + "=" + result);
