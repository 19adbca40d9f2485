// Shared by the application object's source files only.
#pragma once

class CQuorindoApp;

// The application object that the free services use: the live CQuorindoApp
// constructed last (theApp in the program; a test's own object in tests).
// Null when none exists.
CQuorindoApp* CurrentApp();



