// Control ids of the dialog "RunDialog", shared by the code and the template.
#pragma once

// Place
#define IDC_LONG_DEG 101
#define IDC_LONG_MIN 102
#define IDC_LONG_SEC 103
#define IDC_LAT_DEG 104
#define IDC_LAT_MIN 105
#define IDC_LAT_SEC 106
#define IDC_EAST 130
#define IDC_WEST 131
#define IDC_NORTH 132
#define IDC_SOUTH 133

// Zone, daylight saving, date, system-time mode
#define IDC_ZONE 107
#define IDC_DAY 108
#define IDC_MONTH 109
#define IDC_YEAR 110
#define IDC_DAYLIGHT 112
#define IDC_SYSTEM_TIME 115

// Results
#define IDC_SUNRISE 111
#define IDC_SUNSET 113
#define IDC_MOONSET 125
#define IDC_MOONRISE 127

// Moon phase picture frame
#define IDC_PHASE_FRAME 129

// Decorative marks and the second date separator
#define IDC_MARK 200
#define IDC_DATE_SEPARATOR 116

// Group boxes
#define IDC_GROUP_SUN 114
#define IDC_GROUP_LONGITUDE 117
#define IDC_GROUP_LATITUDE 118
#define IDC_GROUP_ZONE 119
#define IDC_GROUP_DATE 120
#define IDC_GROUP_SUNRISE 121
#define IDC_GROUP_SUNSET 122
#define IDC_GROUP_MOON 123
#define IDC_GROUP_MOONSET 124
#define IDC_GROUP_MOONRISE 126
#define IDC_GROUP_PHASE 128

// The status bar, created at run time
#define IDC_STATUSBAR 32778

// The one-second clock timer
#define IDT_CLOCK 1
