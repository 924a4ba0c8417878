// Windows entry point of orbel32.exe.
#include <windows.h>

#include "app_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showState) {
  return AppMain(instance, previousInstance, commandLine, showState);
}
