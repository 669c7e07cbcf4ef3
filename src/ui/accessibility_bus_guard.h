#pragma once

namespace wardel::qt {

// Keeps a screen reader's request for all properties of an object at once from ending the program.
//
// Qt 6.4's accessibility bridge reads a property request's second argument without checking that it is
// there, and a request for all properties (org.freedesktop.DBus.Properties.GetAll) has only one. Once the
// bridge is on the accessibility bus, the guard takes its place there: such a request gets an error reply
// (the reader then asks for one property at a time) and everything else goes on to the bridge. Call once,
// after the application object exists.
void guardAccessibilityBus();

} // namespace wardel::qt
