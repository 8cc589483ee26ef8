#include "cli/option_table.h"

#include "cli/cli_texts.h"
#include "cli/command_table.h"

#include <array>

namespace cli {
namespace {

using K = OptionKind;

const std::array<OptionRow, 24> Rows{{
    {.name = "--port",
     .kind = K::Repeated,
     .values = &Options::ports,
     .label = "--port COMn",
     .help = "порт (в Linux также путь к устройству, например /dev/ttyUSB0);\n"
             "задан несколько раз или --port all (все порты, где scan\n"
             "находит преобразователь) - команда выполняется на всех портах\n"
             "сразу, каждый в своём потоке; в конце таблица итогов по портам,\n"
             "файлы --log, --csv, --html (и --profile у read) - свои у каждого\n"
             "порта: имя порта добавляется перед расширением"},
    {.name = "--settings",
     .kind = K::Value,
     .value = &Options::settings,
     .label = "--settings ФАЙЛ",
     .help = "настройки порта из файла настроек, как у окна программы\n"
             "(секция [ComPort]); без него 9600 бит/с, 8N1, без управления\n"
             "потоком; --port задаёт порт поверх файла"},
    {.name = "--log",
     .kind = K::Value,
     .value = &Options::log,
     .label = "--log ФАЙЛ",
     .help = "дописывать в журнал каждую команду и каждый ответ: время\n"
             "с миллисекундами, байты в шестнадцатеричном виде и текстом\n"
             "в кодировке Windows-1251",
     .unwritable = texts::LogUnusable},
    {.name = "--pace",
     .kind = K::Choice,
     .choice = &Options::pace,
     .choices = {"window", "fast"},
     .label = "--pace window|fast",
     .help = "темп обмена: window (по умолчанию) выжидает полный интервал\n"
             "окна на каждом шаге; fast заканчивает шаг чтения, записи,\n"
             "сверки и измерения, как только пришёл весь ответ (интервал\n"
             "окна остаётся пределом). Калибровки и сброс всегда идут\n"
             "с интервалами окна."},
    {.name = "--profile",
     .kind = K::Value,
     .value = &Options::profile,
     .unwritable = texts::ProfileWriteFailed},
    {.name = "--json", .kind = K::Flag, .flag = &Options::json},
    {.name = "--temp", .kind = K::Flag, .flag = &Options::temp},
    {.name = "--no-verify", .kind = K::Flag, .flag = &Options::verify, .flagValue = false},
    {.name = "--range", .kind = K::Value, .value = &Options::range},
    {.name = "--upper", .kind = K::Value, .value = &Options::upper},
    {.name = "--lower", .kind = K::Value, .value = &Options::lower},
    {.name = "--break", .kind = K::Value, .value = &Options::breakLevel},
    {.name = "--output", .kind = K::Value, .value = &Options::output},
    {.name = "--count", .kind = K::Value, .value = &Options::count},
    {.name = "--every", .kind = K::Value, .value = &Options::every},
    {.name = "--csv", .kind = K::Value, .value = &Options::csv, .unwritable = texts::CsvUnusable},
    {.name = "--html",
     .kind = K::Value,
     .value = &Options::html,
     .unwritable = texts::HtmlWriteFailed},
    {.name = "--record",
     .kind = K::Value,
     .value = &Options::record,
     .label = "--record ПАПКА",
     .help = "(write, calibrate) протокол в папку: файл JSON и страница\n"
             "HTML для печати (A4): состояние прибора до и после, ход\n"
             "процедуры, результат; пишется и при неудаче"},
    {.name = "--unit",
     .kind = K::Repeated,
     .values = &Options::units,
     .label = "--unit НОМЕР",
     .help = "номер прибора в протоколе и в имени файла (при нескольких\n"
             "--port - по одному на каждый, в том же порядке)"},
    {.name = "--operator",
     .kind = K::Value,
     .value = &Options::operatorName,
     .label = "--operator ИМЯ",
     .help = "оператор в протоколе"},
    {.name = "--min", .kind = K::Value, .value = &Options::min},
    {.name = "--max", .kind = K::Value, .value = &Options::max},
    {.name = "--force", .kind = K::Flag, .flag = &Options::force},
    {.name = "--help",
     .kind = K::Help,
     .label = "-h, --help",
     .help = "эта справка",
     .alias = "-h"},
}};

} // namespace

std::span<const OptionRow> OptionTable() {
    return Rows;
}

const OptionRow* FindOption(std::string_view name) {
    for (const OptionRow& row : Rows) {
        if (row.name == name || (!row.alias.empty() && row.alias == name)) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<const OptionRow*> FilesWritten(const Options& options) {
    std::vector<const OptionRow*> files;
    for (const OptionRow& row : Rows) {
        if (row.unwritable != nullptr && options.*(row.value) &&
            options.command->Writes(row.name)) {
            files.push_back(&row);
        }
    }
    return files;
}

} // namespace cli
