# Faults planted one at a time to show that the tests still catch them after
# the test tree moved: each a text replacement in one file, the suite it
# belongs to and the presets whose tests are run. scripts/plant-faults runs
# them and writes which tests failed.
# The fuzz preset runs only the dialog's fuzzer for a fault of the dialog.
# `file` is the path before the move; MOVED gives the path after it.
FUZZ_DIALOG = {"fuzz": "fuzz_dialog"}

MOVED = {
    "platform/dialog_manager.cpp": "platform/user/dialog_manager.cpp",
    "platform/profile.cpp": "platform/base/profile.cpp",
    "platform/utf8.cpp": "platform/base/utf8.cpp",
    "platform/timezone.cpp": "platform/base/timezone.cpp",
    "platform/raster.cpp": "platform/base/raster.cpp",
}

FAULTS = [
    # engine
    dict(id="engine-julian-day", suite="engine", presets=["default"], file="engine/calendar.cpp",
         old="number = number + 1721027 + 2 * G + 367.0 * Y;",
         new="number = number + 1721028 + 2 * G + 367.0 * Y;"),
    dict(id="engine-sidereal-rate", suite="engine", presets=["default"], file="engine/calendar.cpp",
         old="s = 86636.6 * z + s", new="s = 86636.0 * z + s"),
    dict(id="engine-azimuth-wrap", suite="engine", presets=["default"], file="engine/day_scan.cpp",
         old="if (azimuth < 0) azimuth = azimuth + 360;", new="if (azimuth < 0) azimuth = azimuth + 180;"),
    dict(id="engine-moon-age", suite="engine", presets=["default"], file="engine/moon_age.cpp",
         old="return TruncToInt(F * 29.53);", new="return TruncToInt(F * 29.3);"),
    dict(id="engine-phase-angle", suite="engine", presets=["default"], file="engine/lunar_phase.cpp",
         old="const double target = 90.0 * phase;", new="const double target = 90.0 * phase + 0.5;"),
    # almanac
    dict(id="almanac-nautical-depth", suite="almanac", presets=["default"], file="almanac/event_table.cpp",
         old='Twilight("nautical", 12),', new='Twilight("nautical", 11),'),
    dict(id="almanac-posix-week", suite="almanac", presets=["default"], file="almanac/time/posix_rule.cpp",
         old="7 * (change.week - 1);", new="7 * (change.week - 2);"),
    dict(id="almanac-repeated-hour", suite="almanac", presets=["default"], file="almanac/time/civil_day.cpp",
         old="Shows(reading.minutes, other)) reading.repeated = true;",
         new="Shows(reading.minutes, other)) reading.repeated = false;"),
    dict(id="almanac-phase-instant", suite="almanac", presets=["default"], file="almanac/phases.cpp",
         old="return kJ2000 + std::llround(dayCount * 86400);",
         new="return kJ2000 + std::llround(dayCount * 86400) + 120;"),
    # command-line tool
    dict(id="cli-batch-line-number", suite="cli", presets=["default"], file="cli/batch_run.cpp",
         old='const std::string at = "line " + std::to_string(number) + ": ";',
         new='const std::string at = "line " + std::to_string(number + 1) + ": ";'),
    dict(id="cli-json-illuminated", suite="cli", presets=["default"], file="cli/render_json.cpp",
         old='{"illuminated", report.illuminated},', new='{"illuminated", report.illuminated * 100},'),
    dict(id="cli-latitude-range", suite="cli", presets=["default"], file="cli/values.cpp",
         old="ParseAngle(text, 'N', 'S', 90, \"latitude\")", new="ParseAngle(text, 'N', 'S', 91, \"latitude\")"),
    # stand-in layer
    dict(id="standin-signed-int", suite="standin", presets=["default"], file="platform/dialog_manager.cpp",
         old="if (is_signed && *p == '-') {", new="if (*p == '-') {"),
    dict(id="standin-profile-key-case", suite="standin", presets=["default"], file="platform/profile.cpp",
         old="if (KeyLine(f.lines[i], &k, value) && Lower(k) == wanted) {",
         new="if (KeyLine(f.lines[i], &k, value) && k == wanted) {"),
    dict(id="standin-utf8-two-bytes", suite="standin", presets=["default"], file="platform/utf8.cpp",
         old=": (c & 0xE0) == 0xC0 ? 1", new=": (c & 0xE0) == 0xC0 ? 2"),
    dict(id="standin-zone-bias", suite="standin", presets=["default"], file="platform/timezone.cpp",
         old="info->Bias = static_cast<LONG>(-standard / 60);", new="info->Bias = static_cast<LONG>(standard / 60);"),
    dict(id="standin-rectangle-fill", suite="standin", presets=["default"], file="platform/raster.cpp",
         old="if (has_brush) FillArea(s, left, top, right - 1, bottom - 1, fill);",
         new="if (has_brush) FillArea(s, left, top, right, bottom - 1, fill);"),
    dict(id="standin-group-start", suite="standin", presets=["default"], file="platform/dialog_manager.cpp",
         old="while (first > 0 && !(W(children[static_cast<size_t>(first)])->style & WS_GROUP)) --first;",
         new="while (first > 1 && !(W(children[static_cast<size_t>(first)])->style & WS_GROUP)) --first;"),
    # dialog
    dict(id="dialog-day-floor", suite="dialog", presets=["default", "fuzz"], select=FUZZ_DIALOG, file="ui/main_dialog.cpp",
         old="if (static_cast<int8_t>(date.day) < 1) date.day = 1;",
         new="if (static_cast<int8_t>(date.day) < 1) date.day = 2;"),
    dict(id="dialog-year-floor", suite="dialog", presets=["default", "fuzz"], select=FUZZ_DIALOG, file="ui/main_dialog.cpp",
         old="if (date.year == 0) date.year = 1;", new="if (date.year == 0) date.year = 2;"),
    dict(id="dialog-day-byte", suite="dialog", presets=["default", "fuzz"], select=FUZZ_DIALOG, file="ui/main_dialog.cpp",
         old="if (static_cast<int8_t>(date.day) < 1) date.day = 1;", new="if (date.day < 1) date.day = 1;"),
    dict(id="dialog-west", suite="dialog", presets=["default", "fuzz"], select=FUZZ_DIALOG, file="ui/main_dialog.cpp",
         old="if (Settings.East != 1) longitude = 360 - longitude;",
         new="if (Settings.East != 1) longitude = 180 - longitude;"),
    dict(id="dialog-seconds", suite="dialog", presets=["default", "fuzz"], select=FUZZ_DIALOG, file="ui/main_dialog.cpp",
         old="seconds * (1.0 / 3600);", new="seconds * (1.0 / 3000);"),
    dict(id="dialog-daylight-hour", suite="dialog", presets=["default", "fuzz"], select=FUZZ_DIALOG, file="ui/main_dialog.cpp",
         old="(IsChecked(dialog, IDC_DAYLIGHT) ? 1u : 0u)", new="(IsChecked(dialog, IDC_DAYLIGHT) ? 2u : 0u)"),
    dict(id="dialog-system-time-year", suite="dialog", presets=["default"], file="ui/main_dialog.cpp",
         old="EnableWindow(GetDlgItem(dialog, IDC_YEAR), enable);", new="EnableWindow(GetDlgItem(dialog, IDC_YEAR), TRUE);"),
    dict(id="dialog-saved-east", suite="dialog", presets=["default"], file="ui/settings.cpp",
         old='stored.East = GetProfileIntA(kSection, "East", 1) != 0 ? 1 : 0;',
         new='stored.East = GetProfileIntA(kSection, "East", 0) != 0 ? 1 : 0;'),
    dict(id="dialog-terminator", suite="dialog", presets=["default"], file="ui/phase_picture/phase_drawing.cpp",
         old="if (age < 15) return age * 1.98 * kFifteenth;", new="if (age < 15) return age * 1.90 * kFifteenth;"),
    # Wine
    dict(id="wine-product-name", suite="wine", presets=["mingw"], file="resources/version.rc",
         old='VALUE "ProductName", "Orbel"', new='VALUE "ProductName", "Orbel32"'),
    dict(id="wine-zone-bias", suite="wine", presets=["mingw"], file="ui/main_dialog.cpp",
         old="SetDlgItemInt(dialog, IDC_ZONE, static_cast<UINT>(zone.Bias / 60), TRUE);",
         new="SetDlgItemInt(dialog, IDC_ZONE, static_cast<UINT>(-zone.Bias / 60), TRUE);"),
    # the Linux window
    dict(id="window-save-status", suite="window", presets=["default"], file="ui/linux/main.cpp",
         old='std::fprintf(stderr, "orbel: the settings were not saved: %s\\n", why.c_str());\n    return 1;',
         new='std::fprintf(stderr, "orbel: the settings were not saved: %s\\n", why.c_str());\n    return 0;'),
    dict(id="window-retry-labels", suite="window", presets=["default"], file="ui/linux/view_logic.cpp",
         old='c.labels = {"Cancel", "Retry"};', new='c.labels = {"Retry", "Cancel"};'),
    dict(id="window-title", suite="window", presets=["default"], file="ui/linux/fltk_view.cpp",
         old="if (now.title != painted_.title) copy_label(now.title.c_str());",
         new="if (now.title != painted_.title) copy_label(\"Orbel\");"),
    # installation
    dict(id="install-man-section", suite="install", presets=["default"], file="packaging/linux.cmake",
         old="install(FILES ${ORBEL_MAN_DIR}/orbel-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)",
         new="install(FILES ${ORBEL_MAN_DIR}/orbel-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)"),
    dict(id="install-desktop-exec", suite="install", presets=["default"], file="packaging/orbel.desktop",
         old="Exec=orbel\n", new="Exec=orbel32\n"),
]
