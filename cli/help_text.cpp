#include "cli/help_text.h"

#include "cli/command_table.h"
#include "cli/option_table.h"
#include "cli/report_text.h"

#include <string_view>

namespace cli {
namespace {

constexpr std::string_view Opening =
    "lirat5-cli: настройка и калибровка преобразователя ЛИРАТ-5 из командной строки.\n"
    "\n"
    "Команды:\n";

constexpr std::string_view OptionsHeading = "\nПараметры всех команд, работающих с прибором:\n";

constexpr std::string_view Closing =
    "\n"
    "Числа пишутся с точкой или с запятой.\n"
    "\n"
    "Все файлы, которые команда будет писать, проверяются до первой команды прибору.\n"
    "Ctrl+C (а также SIGTERM или закрытие терминала) останавливает команду после шага,\n"
    "который уже идёт: его ответ принимается, следующая команда не отправляется, порт\n"
    "закрывается; сообщение говорит, что отправлено и что нет, протокол и журнал\n"
    "дописываются. Второе Ctrl+C завершает работу сразу, не дожидаясь ответа.\n"
    "\n"
    "Коды завершения:\n"
    "  0  выполнено\n"
    "  1  не удалось прочитать или записать файл (профиль, журнал, CSV, HTML, протокол,\n"
    "     настройки порта)\n"
    "  2  неверный вызов: неизвестная команда или параметр, не хватает параметров\n"
    "  3  недопустимое значение или калибровка не для того диапазона (типа выхода),\n"
    "     что в приборе; в прибор ничего не записано\n"
    "  4  нет ответа, неверный ответ, ошибка порта, прибор сообщил об ошибке калибровки\n"
    "  5  сверка после записи не пройдена: прибор хранит не то, что записано\n"
    "  6  прервано: Ctrl+C, SIGTERM, закрытие терминала или конец ввода при калибровке\n"
    "     выхода (ей отправлено \"$B\")\n"
    "  7  при работе с несколькими портами итоги портов различаются (см. таблицу)\n";

// Where an option's explanation starts, after "  " and its label.
constexpr std::size_t LabelWidth = 19;

// `lines` with `first` before the first line and `indent` before every other one.
std::string Indented(std::string_view lines, std::string_view first, std::string_view indent) {
    std::string text(first);
    for (const char c : lines) {
        text += c;
        if (c == '\n') {
            text += indent;
        }
    }
    return text + "\n";
}

} // namespace

std::string HelpText() {
    std::string text(Opening);
    for (const CommandRow& command : CommandTable()) {
        // A call's own lines carry the blanks that line them up.
        text += Indented(command.usage, "  lirat5-cli ", "");
        text += Indented(command.help, "      ", "      ");
    }
    text += OptionsHeading;
    for (const OptionRow& option : OptionTable()) {
        if (option.label.empty()) {
            continue;
        }
        text += Indented(option.help, "  " + Padded(std::string(option.label), LabelWidth),
                         std::string(2 + LabelWidth, ' '));
    }
    return text += Closing;
}

} // namespace cli
