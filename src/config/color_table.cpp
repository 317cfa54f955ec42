// Colour defaults in 0x00BBGGRR: the entry numbers are what views and keywords index by.
#include "config/color_table.h"

const CColorEntry kBaseColors[2] = {
    {0x000000, 0xFFFFFF},
    {0xC8C8C8, 0xFFFFFF},
};

const CColorName kBaseColorNames[2] = {
    {u"Text Color (Normal)", u"通常のテキスト表示", 0, 0},
    {u"Line Color", u"罫線の色", 1, 1},
};

const CColorEntry kAppColors[23] = {
    {0x000000, 0xFFFFFF},  // 0 normal text
    {0x000000, 0xE6E6E6},  // 1
    {0x000000, 0x00FFFF},  // 2 cursor line
    {0x000000, 0x00FF00},  // 3 marker line
    {0xFFFFFF, 0xFF0000},  // 4 selection
    {0xFFFFFF, 0xFF0000},  // 5 search match
    {0x0000FF, 0xFFFFFF},  // 6 highlight 1
    {0x00FF00, 0xFFFFFF},  // 7 highlight 2
    {0xFF0000, 0xFFFFFF},  // 8 highlight 3
    {0x00FFFF, 0xFFFFFF},  // 9 highlight 4
    {0x00FFFF, 0xFFFFFF},  // 10 highlight 5
    {0xFF00FF, 0xFFFFFF},  // 11 highlight 6
    {0x0000FF, 0xFFFFFF},  // 12 highlight 7
    {0x0000FF, 0xFFFFFF},  // 13 highlight 8
    {0xFFFFFF, 0xFF0000},  // 14 header items
    {0x000000, 0xE6E6E6},  // 15 line numbers
    {0x000000, 0xE6E6E6},  // 16 intervals
    {0x808080, 0xFFFFFF},  // 17
    {0x808080, 0xFFFFFF},  // 18
    {0xFFFFFF, 0x0000FF},  // 19 error lines
    {0x0000FF, 0xFFFFFF},  // 20
    {0xC8C8C8, 0xFFFFFF},  // 21
    {0x808080, 0xFFFFFF},  // 22
};

const CColorName kAppColorNames[17] = {
    {u"Text Color (Normal)", u"通常のテキスト表示", 0, 0},
    {u"Cursor Color", u"カーソル行の色", 2, 0},
    {u"Marker Color", u"マーク行の色", 3, 0},
    {u"Select Text Color", u"選択文字列の色", 4, 0},
    {u"Search Color", u"検索文字列の色", 5, 0},
    {u"Highlighting 1", u"強調表示1", 6, 0},
    {u"Highlighting 2", u"強調表示2", 7, 0},
    {u"Highlighting 3", u"強調表示3", 8, 0},
    {u"Highlighting 4", u"強調表示4", 9, 0},
    {u"Highlighting 5", u"強調表示5", 10, 0},
    {u"Highlighting 6", u"強調表示6", 11, 0},
    {u"Highlighting 7", u"強調表示7", 12, 0},
    {u"Highlighting 8", u"強調表示8", 13, 0},
    {u"Item display color", u"項目表示の色", 14, 0},
    {u"Line Color", u"行番号の色", 15, 0},
    {u"Interval Color", u"ログ間隔の色", 16, 0},
    {u"Error Color", u"エラー行の色", 19, 0},
};
