#include "player/Strings.h"

// The Russian row is Windows-1251 bytes, which the font draws byte for byte; each entry
// carries its text as a comment.
const char* const Strings[2][StringCount] = {
    {
        "Sound Files",
        "All Files",
        "Exit",
        "Music",
        "Pause",
        "Play",
        "?",
        "Volume: ",
        "Pos-on: ",
        "Back",
        "Hot Keys: ",
        "[Esc] - menu toggle",
        "[Space] - play/pause",
        "[Up/Down] - volume setting",
        "[Left/Right] - current position setting",
        "[PgUp/PgDown] - visualization change",
        "[Num-/Num+] [Z/B] - prev./next track",
        "[Backspace] [X] - restart current track",
        "[Tab] [P] - show playlist",
        "[Del/Ins/Shift+Ins] - delete/add track/folder",
        "[Home/End] [MouseWheel] - playlist scroll",
        "[WinKey] - minimize",
        "PlayList",
        "Playlists",
        "  Add  ",
        "Delete",
        "Clear",
        "Randomize ",
        "All Supported",
    },
    {
        "\xC0\xF3\xE4\xE8\xEE \xD4\xE0\xE9\xEB\xFB",  // Аудио Файлы
        "\xC2\xF1\xE5 \xD4\xE0\xE9\xEB\xFB",  // Все Файлы
        "\xC2\xFB\xF5\xEE\xE4",  // Выход
        "\xCC\xF3\xE7\xFB\xEA\xE0",  // Музыка
        "\xCF\xE0\xF3\xE7\xE0",  // Пауза
        "\xC8\xE3\xF0\xE0\xF2\xFC",  // Играть
        "?",  // ?
        "\xC3\xF0\xEE\xEC\xEA\xEE\xF1\xF2\xFC: ",  // Громкость:
        "\xCF\xEE\xE7-\xE8\xFF: ",  // Поз-ия:
        "\xCD\xE0\xE7\xE0\xE4",  // Назад
        "\xC3\xEE\xF0\xFF\xF7\xE8\xE5 \xCA\xEB\xE0\xE2\xE8\xF8\xE8: ",  // Горячие Клавиши:
        "[Esc] - \xEF\xE5\xF0\xE5\xEA\xEB\xFE\xF7\xE5\xED\xE8\xE5 \xEC\xE5\xED\xFE",  // [Esc] - переключение меню
        "[\xCF\xF0\xEE\xE1\xE5\xEB] - \xE2\xEE\xF1\xEF\xF0\xEE\xE8\xE7\xE2\xE5\xE4\xE5\xED\xE8\xE5/\xEF\xE0\xF3\xE7\xE0",  // [Пробел] - воспроизведение/пауза
        "[\xC2\xE2\xE5\xF0\xF5/\xC2\xED\xE8\xE7] - \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE0 \xE3\xF0\xEE\xEC\xEA\xEE\xF1\xF2\xE8",  // [Вверх/Вниз] - настройка громкости
        "[\xC2\xEB\xE5\xE2\xEE/\xC2\xEF\xF0\xE0\xE2\xEE] - \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE0 \xF2\xE5\xEA\xF3\xF9\xE5\xE9 \xEF\xEE\xE7\xE8\xF6\xE8\xE8",  // [Влево/Вправо] - настройка текущей позиции
        "[PgUp/PgDown] - \xF1\xEC\xE5\xED\xE0 \xE2\xE8\xE7\xF3\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xE9",  // [PgUp/PgDown] - смена визуализаций
        "[Num-/Num+] [Z/B] - \xEF\xF0\xE5\xE4-\xE8\xE9/\xF1\xEB\xE5\xE4-\xE8\xE9 \xF2\xF0\xE5\xEA",  // [Num-/Num+] [Z/B] - пред-ий/след-ий трек
        "[Backspace] [X] - \xED\xE0\xF7\xE0\xF2\xFC \xF2\xF0\xE5\xEA \xF1\xED\xE0\xF7\xE0\xEB\xE0",  // [Backspace] [X] - начать трек сначала
        "[Tab] [P] - \xEE\xF2\xEA\xF0\xFB\xF2\xFC \xEF\xEB\xE5\xE9\xEB\xE8\xF1\xF2",  // [Tab] [P] - открыть плейлист
        "[Del/Ins/Shift+Ins] - \xF3\xE4\xE0\xEB\xE8\xF2\xFC/\xE4\xEE\xE1\xE0\xE2\xE8\xF2\xFC \xF2\xF0\xE5\xEA/\xEF\xE0\xEF\xEA\xF3",  // [Del/Ins/Shift+Ins] - удалить/добавить трек/папку
        "[Home/End] [\xCA\xEE\xEB\xE5\xF1\xE8\xEA\xEE \xEC\xFB\xF8\xE8] - \xEF\xF0\xEE\xEA\xF0\xF3\xF2\xEA\xE0 \xEF\xEB\xE5\xE9\xEB\xE8\xF1\xF2\xE0",  // [Home/End] [Колесико мыши] - прокрутка плейлиста
        "[WinKey] - \xF1\xE2\xE5\xF0\xED\xF3\xF2\xFC",  // [WinKey] - свернуть
        "\xCF\xEB\xE5\xE9\xCB\xE8\xF1\xF2",  // ПлейЛист
        "\xCF\xEB\xE5\xE9\xEB\xE8\xF1\xF2\xFB",  // Плейлисты
        "\xC4\xEE\xE1\xE0\xE2.",  // Добав.
        "\xD3\xE4\xE0\xEB.",  // Удал.
        "\xCE\xF7\xE8\xF1\xF2.",  // Очист.
        "\xD1\xEB\xF3\xF7\xE0\xE9\xED\xEE ",  // Случайно
        "\xC2\xF1\xE5 \xCF\xEE\xE4\xE4\xE5\xF0\xE6\xE8\xE2\xE0\xE5\xEC\xFB\xE5",  // Все Поддерживаемые
    },
};
