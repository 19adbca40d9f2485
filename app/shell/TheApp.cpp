#include "app/shell/QuorindoApp.h"

// The one application object of the program.
CQuorindoApp theApp;
