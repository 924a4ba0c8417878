// The program's resources on the stand-in layer, in builds other than
// Windows, where the resource compiler puts them into the program itself.
#pragma once

// resources/orbel.rc as the build's C preprocessor left it.
const char* ResourceScriptText();

// Hands the script to the layer, so that DialogBoxParamA finds "RunDialog".
// Call once, before the first dialog.
void RegisterResources();
