#include "cli/command_table.h"

#include <algorithm>
#include <array>

namespace cli {

// The runners, each in a file of its own (command_*.cpp).
ExitStatus RunPorts(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunScan(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunRead(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunWrite(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunTemp(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunReset(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunCalibrateInput(const Options& options, Console& console,
                             const std::string& commandLine);
ExitStatus RunCalibrateOutput(const Options& options, Console& console,
                              const std::string& commandLine);

namespace {

// In the order of --help and of the README's table.
const std::array<CommandRow, 8> Rows{{
    {.word = "ports",
     .talksToDevice = false,
     .options = {},
     .filesRead = {},
     .phases = {},
     .usage = "ports",
     .help = "Порты по порядку номеров: устройство, подключён ли, что это за адаптер. В Linux\n"
             "USB-адаптер получает номер COM3 и следующие, когда программа видит его впервые,\n"
             "и сохраняет его в любом гнезде USB.",
     .run = RunPorts},
    {.word = "scan",
     .talksToDevice = false,
     .options = {"--port"},
     .filesRead = {},
     .phases = {},
     .usage = "scan [--port ИМЯ ...]",
     .help = "Найти преобразователи: опросить командой \"$8\" (и ничем другим) все порты\n"
             "системы и названные, одновременно; показать, какие отвечают как ЛИРАТ-5,\n"
             "с типом и диапазоном датчика, а какие заняты или молчат.",
     .run = RunScan},
    {.word = "read",
     .talksToDevice = true,
     .options = {"--port", "--settings", "--log", "--pace", "--profile", "--json", "--temp"},
     .filesRead = {},
     .phases = {&phases::Read, &phases::Measure},
     .usage = "read --port COMn [--json] [--profile ФАЙЛ] [--temp]",
     .help = "Считать конфигурацию: тип и диапазон датчика, рабочий диапазон, уровень сигнала\n"
             "обрыв в %, тип выхода; --temp добавляет измеренное значение, --json выводит всё\n"
             "в формате JSON, --profile записывает конфигурацию в файл профиля для write.",
     .run = RunRead},
    {.word = "write",
     .talksToDevice = true,
     .options = {"--port", "--settings", "--log", "--pace", "--profile", "--no-verify", "--range",
                 "--upper", "--lower", "--break", "--output", "--record", "--unit", "--operator"},
     .filesRead = {"--profile"},
     .phases = {&phases::Write, &phases::Verify},
     .usage = "write --port COMn (--profile ФАЙЛ | --range N --upper X --lower Y\n"
              "                    --break P --output K) [--no-verify] [--record ПАПКА]",
     .help = "Проверить значения так же, как окно программы, записать их в прибор и считать\n"
             "обратно для сверки (--no-verify: без сверки). N: номер диапазона 0..25,\n"
             "X и Y: верхнее и нижнее значения, P: уровень сигнала обрыв 0..120 %,\n"
             "K: тип выхода 0 (0 - 10 В), 1 (0 - 5 mA), 2 (0 - 20 mA).",
     .run = RunWrite},
    {.word = "temp",
     .talksToDevice = true,
     .options = {"--port", "--settings", "--log", "--pace", "--range", "--count", "--every",
                 "--csv", "--html"},
     .filesRead = {},
     .phases = {&phases::Measure},
     .usage = "temp --port COMn [--count N] [--every МС] [--csv ФАЙЛ] [--html ФАЙЛ]\n"
              "                   [--range N]",
     .help = "Измеренное значение с меткой времени, N раз (по умолчанию 1) через каждые\n"
             "МС миллисекунд (по умолчанию 1000); --csv дописывает значения в файл CSV\n"
             "(новый файл появляется с заголовком и первым значением),\n"
             "--html - в страницу HTML с графиком (обновляется после каждого измерения),\n"
             "--range выбирает единицу (град. С или Ом) по диапазону, как выбор в окне.",
     .run = RunTemp},
    {.word = "reset",
     .talksToDevice = true,
     .options = {"--port", "--settings", "--log", "--pace"},
     .filesRead = {},
     .phases = {&phases::Reset},
     .usage = "reset --port COMn",
     .help = "Восстановить заводские настройки.",
     .run = RunReset},
    {.word = "calibrate input",
     .talksToDevice = true,
     .options = {"--port", "--settings", "--log", "--pace", "--range", "--record", "--unit",
                 "--operator", "--force"},
     .filesRead = {},
     .phases = {&phases::Zero, &phases::Gain},
     .usage = "calibrate input --port COMn --range N [--force] [--record ПАПКА]",
     .help = "Калибровка входа: нуля, затем усиления, с подсказкой, какое сопротивление\n"
             "подключить.",
     .run = RunCalibrateInput},
    {.word = "calibrate output",
     .talksToDevice = true,
     .options = {"--port", "--settings", "--log", "--pace", "--output", "--record", "--unit",
                 "--operator", "--min", "--max", "--force"},
     .filesRead = {},
     .phases = {&phases::Output},
     .usage = "calibrate output --port COMn --output K [--min X] [--max Y] [--force]\n"
              "                             [--record ПАПКА]",
     .help = "Калибровка выхода; измеренные значения X и Y спрашиваются, если не заданы.\n"
             "Ctrl+C или конец ввода прерывают калибровку, прибору отправляется \"$B\".\n"
             "Перед калибровкой (входа или выхода) считывается конфигурация прибора: если\n"
             "в нём другой диапазон (тип выхода), чем задан, калибровка не начинается\n"
             "(--force: калибровать всё равно).",
     .run = RunCalibrateOutput},
}};

} // namespace

bool CommandRow::Takes(std::string_view name) const {
    return std::find(options.begin(), options.end(), name) != options.end();
}

bool CommandRow::Writes(std::string_view name) const {
    return Takes(name) && std::find(filesRead.begin(), filesRead.end(), name) == filesRead.end();
}

std::span<const CommandRow> CommandTable() {
    return Rows;
}

} // namespace cli
