// Child-window identifiers of the settings window: the one definition,
// but for the help buttons, which the option table numbers.
#pragma once

constexpr int IDC_LANGUAGE = 2001;
constexpr int IDC_HOTKEY_ALT = 2002;
constexpr int IDC_HOTKEY_CTRL = 2003;
constexpr int IDC_HOTKEY_SHIFT = 2004;
constexpr int IDC_HOTKEY_WINDOWS = 2005;
constexpr int IDC_HOTKEY_KEY = 2006;
constexpr int IDC_PLAY_SOUND = 2007;
constexpr int IDC_START_WITH_WINDOWS = 2008;
constexpr int IDC_SHOW_STARTUP_NOTIFICATION = 2009;
constexpr int IDC_PERIODICALLY_RESET_HOTKEY = 2010;
constexpr int IDC_REPLACE_LINE_BREAKS = 2011;
constexpr int IDC_REPLACE_TABS = 2012;
constexpr int IDC_COLLAPSE_SPACES = 2013;
constexpr int IDC_TRIM_SPACES = 2014;
constexpr int IDC_FULL_WIDTH_SPACES = 2015;
constexpr int IDC_ZERO_WIDTH_SPACES = 2016;
constexpr int IDC_NBSP = 2017;
constexpr int IDC_MARKDOWN_LINKS = 2018;
constexpr int IDC_HTML_TAGS = 2019;
constexpr int IDC_PLAIN_TEXT_ONLY = 2020;
constexpr int IDC_EXCEL_VALUES = 2021;
constexpr int IDC_SAVE = 2022;
constexpr int IDC_CANCEL = 2023;
constexpr int IDC_RESTORE_DEFAULTS = 2055;
constexpr int IDC_LANGUAGE_LABEL = 2028;
constexpr int IDC_HOTKEY_LABEL = 2029;
constexpr int IDC_EXCEL_DESCRIPTION = 2030;
constexpr int IDC_PRODUCT_NAME = 2033;
constexpr int IDC_VERSION = 2034;
constexpr int IDC_COPYRIGHT = 2036;
constexpr int IDC_WEBSITE = 2037;
constexpr int IDC_NAVIGATION = 2038;
constexpr int IDC_TAB_SPACES_LABEL = 2039;
constexpr int IDC_TAB_SPACES = 2040;
constexpr int IDC_KATAKANA_WIDTH = 2041;
constexpr int IDC_NUMBER_WIDTH = 2042;
constexpr int IDC_LATIN_WIDTH = 2043;
constexpr int IDC_SYMBOL_WIDTH = 2044;
constexpr int IDC_NORMALIZE_NFKC = 2045;
constexpr int IDC_NFKC_DESCRIPTION = 2046;
constexpr int IDC_KATAKANA_LABEL = 2047;
constexpr int IDC_NUMBERS_LABEL = 2048;
constexpr int IDC_LATIN_LABEL = 2049;
constexpr int IDC_SYMBOLS_LABEL = 2050;
constexpr int IDC_WEBVIEW2_STATUS = 2051;
constexpr int IDC_DOWNLOAD_WEBVIEW2 = 2052;
// Labels without pixels: they name the list after them for screen readers.
constexpr int IDC_NAVIGATION_LABEL = 2053;
constexpr int IDC_HOTKEY_KEY_LABEL = 2054;

