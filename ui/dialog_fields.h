// Reading the dialog's date fields, shared by the event results and the phase
// picture so that both see the same date.
#pragma once

#include <windows.h>

#include <cstdint>

struct FieldDate {
  uint8_t day;
  uint8_t month;
  uint32_t year;
};

// Day and month are the low 8 bits of the unsigned reading, 1 when that byte
// read as signed is below 1; the year is the unsigned reading, 1 instead of 0.
// Empty and non-numeric fields read as 0.
FieldDate ReadDateFields(HWND dialog);
