#pragma once
// The texts that lirat5-cli shows of its own; the engine's messages come from
// protocol/engine_texts.h and are shown as they are.

namespace cli::texts {

inline constexpr const char* Program = "lirat5-cli";

// Output types as the window's "Тип выхода" group names them.
inline constexpr const char* OutputTypeNames[] = {"0 - 10 В", "0 - 5 mA", "0 - 20 mA"};

// Usage.
inline constexpr const char* SeeHelp = "Справка: lirat5-cli --help";
inline constexpr const char* NoCommand = "Не задана команда.";
inline constexpr const char* UnknownCommand = "Неизвестная команда: ";
// "После calibrate нужно указать input или output.": the first of a command's two words alone.
inline constexpr const char* SecondWordAfter = "После ";
inline constexpr const char* SecondWordNeeded = " нужно указать ";
inline constexpr const char* Or = " или ";
inline constexpr const char* UnknownOption = "Неизвестный параметр: ";
inline constexpr const char* OptionNotForCommand = "Параметр не относится к этой команде: ";
inline constexpr const char* OptionNeedsValue = "Не задано значение параметра ";
inline constexpr const char* OptionRepeated = "Параметр задан дважды: ";
inline constexpr const char* ExtraArgument = "Лишний аргумент: ";
inline constexpr const char* MissingOptions = "Не заданы параметры: ";
inline constexpr const char* ProfileOrValues =
    "Задайте либо --profile, либо все пять значений (--range, --upper, --lower, --break, "
    "--output), но не то и другое вместе.";
inline constexpr const char* NoPort = "Не задан порт: --port COMn (или --settings ФАЙЛ).";
inline constexpr const char* UnitWithoutRecord =
    "--unit и --operator задаются только вместе с --record.";
inline constexpr const char* UnitsPerPort =
    "Задайте --unit по одному на каждый --port, в том же порядке (с --port all номера "
    "приборов не задаются).";

// Values.
inline constexpr const char* BadValue = "Неверно задано значение ";
inline constexpr const char* RangeLimits = " (допустимо от 0 до 25)";
inline constexpr const char* OutputLimits = " (допустимо 0, 1 или 2)";
inline constexpr const char* BadNumber = "Неверно задано число ";

// Files.
inline constexpr const char* SettingsMissing = "Файл настроек порта не найден: ";
inline constexpr const char* SettingsUnusable = "Не удалось загрузить настройки порта из ";
inline constexpr const char* LogUnusable = "Не удалось открыть журнал обмена: ";
inline constexpr const char* CsvUnusable = "Не удалось открыть файл CSV: ";
inline constexpr const char* CsvWriteFailed = "Не удалось записать файл CSV: ";
inline constexpr const char* CsvForeign =
    "в файле другая таблица (первая строка не \"Время,Величина,Значение\")";
inline constexpr const char* SettingsNoKeys =
    "в разделе [ComPort] нет ни одного ключа настроек порта";
inline constexpr const char* SettingsNoPort = "в разделе [ComPort] нет ключа Port";
inline constexpr const char* LogWriteFailed = "Не удалось записать журнал обмена: ";
inline constexpr const char* FileIsFolder = "это папка";
inline constexpr const char* FileIsDevice = "это не обычный файл (устройство, канал или сокет)";
inline constexpr const char* FileTooLarge = "файл больше ";
inline constexpr const char* FileNotText = "это не текстовый файл";
inline constexpr const char* ProfileMissing = "Не удалось прочитать файл профиля: ";
inline constexpr const char* ProfileWriteFailed = "Не удалось записать файл профиля: ";
inline constexpr const char* ProfileNoKey = ": нет ключа ";
inline constexpr const char* ProfileBadKey = ": неверное значение ключа ";
inline constexpr const char* ProfileWritten = "Профиль записан: ";

// The port.
inline constexpr const char* PortFailed = "Ошибка порта ";

// Results.
inline constexpr const char* Written = "Конфигурация записана.";
inline constexpr const char* VerifyReading = "Проверка: конфигурация считывается обратно...";
inline constexpr const char* VerifyPassed = "Проверка пройдена: прибор хранит все пять значений.";
inline constexpr const char* VerifyFailedHeading =
    "Проверка не пройдена: прибор хранит не то, что записано.";
inline constexpr const char* VerifyReadFailed =
    "Конфигурация записана, но считать её для проверки не удалось.";
inline constexpr const char* NoPorts = "Порты не найдены.";
inline constexpr const char* WrittenVerified = "записано и проверено";
inline constexpr const char* WrittenUnverified = "записано без проверки";

// Runs over several ports.
inline constexpr const char* OneDeviceTwice = "Порты называют одно и то же устройство: ";
// The result of each port, by its exit status.
inline constexpr const char* ResultNames[] = {
    "выполнено",     "ошибка файла",       "неверный вызов", "недопустимое значение",
    "ошибка обмена", "сверка не пройдена", "прервано",       "итоги портов различаются"};
inline constexpr const char* ResultHeading = "Результат";
inline constexpr const char* SecondsHeading = "Время, с";
inline constexpr const char* DetailHeading = "Подробности";

// Records.
inline constexpr const char* DeviceName = "ЛИРАТ-5";
inline constexpr const char* RecordWriteTitle = "Протокол записи конфигурации";
inline constexpr const char* RecordInputTitle = "Протокол калибровки входа";
inline constexpr const char* RecordOutputTitle = "Протокол калибровки выхода";
inline constexpr const char* RecordDevice = "Прибор";
inline constexpr const char* RecordPort = "Порт";
inline constexpr const char* RecordStarted = "Начало";
inline constexpr const char* RecordFinished = "Окончание";
inline constexpr const char* RecordOperator = "Оператор";
inline constexpr const char* RecordTool = "Программа";
inline constexpr const char* RecordAsFound = "1. Состояние до процедуры (как найдено)";
inline constexpr const char* RecordProcedure = "2. Процедура";
inline constexpr const char* RecordAsLeft = "3. Состояние после процедуры (как оставлено)";
inline constexpr const char* RecordResult = "4. Результат";
inline constexpr const char* RecordNotRead = "Не считывалось.";
inline constexpr const char* RecordReadFailed = "Не считано";
inline constexpr const char* RecordExchanges = "Обмен";
inline constexpr const char* RecordMessages = "Сообщения";
inline constexpr const char* RecordSignOperator = "Оператор (подпись, дата)";
inline constexpr const char* RecordSignCustomer = "Принял (подпись, дата)";
inline constexpr const char* StageNotReached = "не выполнялся";
inline constexpr const char* StageDone = "выполнен";
inline constexpr const char* StageFailed = "не выполнен";
inline constexpr const char* StageInterrupted = "прерван";
inline constexpr const char* FactResistance = "Подключено сопротивление";
inline constexpr const char* FactStatus = "Состояние прибора (ответ на $0)";
inline constexpr const char* FactMinimum = "Измерено на коде 0D0";
inline constexpr const char* FactMaximum = "Измерено на коде CD0";
inline constexpr const char* FactGain = "Коэффициент усиления";
inline constexpr const char* FactGainText = "Передан как";
inline constexpr const char* FactOffset = "Смещение";
inline constexpr const char* FactDifferences = "Отличия";
inline constexpr const char* NoDifferences = "нет";
inline constexpr const char* ChartNominal = "Заданное значение выхода";
inline constexpr const char* ChartOutput = "Выход";
inline constexpr const char* ChartNominalLine = "номинал";
inline constexpr const char* ChartMeasuredLine = "измерено на тестовых кодах";
inline constexpr const char* ChartCorrectedLine = "после коррекции (расчёт)";
inline constexpr const char* ResultWriteDone = "Конфигурация записана и проверена.";
inline constexpr const char* ResultWriteUnverified = "Конфигурация записана (без проверки).";
inline constexpr const char* ResultInputDone = "Калибровка входа выполнена: нуль и усиление.";
inline constexpr const char* ResultOutputDone = "Калибровка выхода выполнена.";
inline constexpr const char* ResultFailed = "Не выполнено (код завершения ";
inline constexpr const char* ResultInterrupted = "Прервано (код завершения ";
inline constexpr const char* AsLeftSkipped =
    "Не считывалось: работа прервана, в прибор больше ничего не отправлялось.";
inline constexpr const char* ResultStages = "). Выполнено этапов: ";
inline constexpr const char* ResultStoppedAt = "; остановлено на этапе «";
inline constexpr const char* RecordFolderUnusable = "Не удалось создать папку протоколов: ";
inline constexpr const char* RecordWriteFailed = "Не удалось записать протокол: ";
inline constexpr const char* RecordWritten = "Протокол записан: ";
inline constexpr const char* RecordNamesTaken = "все имена протокола для этого времени заняты";

// temp --html.
inline constexpr const char* SeriesTitle = "Измеренные значения";
inline constexpr const char* SeriesTime = "Время от первого измерения, с";
inline constexpr const char* SeriesLowest = "наименьшее";
inline constexpr const char* SeriesHighest = "наибольшее";
inline constexpr const char* SeriesLast = "последнее";
inline constexpr const char* SeriesCount = "измерений";
inline constexpr const char* HtmlWriteFailed = "Не удалось записать файл HTML: ";

// scan.
inline constexpr const char* ScanAnswered = "отвечает";
inline constexpr const char* ScanSilent = "нет ответа";
inline constexpr const char* ScanForeign = "ответ не от ЛИРАТ-5";
inline constexpr const char* ScanBusy = "занят другой программой";
inline constexpr const char* ScanUnavailable = "не открывается";
inline constexpr const char* ScanFound = "Отвечают как ЛИРАТ-5: ";
inline constexpr const char* ScanNone = "Ни один порт не ответил как преобразователь ЛИРАТ-5.";

// After an interruption: the headings of the message that says which of a transaction's
// commands went out.
inline constexpr const char* Interrupted = "Прервано (";
inline constexpr const char* InterruptAtPhase = ") на этапе «";
inline constexpr const char* InterruptBeforePhase = ") до начала этапа «";
inline constexpr const char* InterruptNothingSent = "»: его команды не отправлялись.";
inline constexpr const char* InterruptStep = "», шаг ";
inline constexpr const char* InterruptDone = "Прибор ответил на: ";
inline constexpr const char* InterruptWriteDone = "Прибор хранит новые значения: ";
inline constexpr const char* InterruptUnanswered = "Отправлено, ответа не дождались: ";
inline constexpr const char* InterruptNotSent = "Не отправлено: ";
inline constexpr const char* InterruptSeries = "Измерений выполнено: ";
inline constexpr const char* EndOfInputCause = "конец ввода";

// Terminal prompts.
inline constexpr const char* PressEnter = "Нажмите Enter, когда будете готовы...";
inline constexpr const char* AssembleCircuit = "Для калибровки соберите схему";
inline constexpr const char* ZeroResistance = "R = 0,0 Om";
inline constexpr const char* CalibrationInterrupted =
    "Калибровка прервана: прибору отправляется \"$B\".";
inline constexpr const char* InterruptedBeforeStart =
    "Калибровка прервана до её начала: в прибор ничего не отправлено.";
inline constexpr const char* MismatchRange = "Прибор настроен на диапазон ";
inline constexpr const char* MismatchGivenRange = ", а задан --range ";
inline constexpr const char* MismatchOutput = "Прибор настроен на выход ";
inline constexpr const char* MismatchGivenOutput = ", а задан --output ";
inline constexpr const char* MismatchNotStarted =
    ".\nКалибровка не начата: прибору отправлены только команды чтения. Проверьте заданное "
    "значение или добавьте --force, чтобы калибровать всё равно.";
inline constexpr const char* InterruptCameLate =
    "Прерывание пришло, когда коэффициенты уже были отправлены: калибровка доведена до конца.";

// Headings of the tables and the CSV file.
inline constexpr const char* PortHeading = "Порт";
inline constexpr const char* DeviceHeading = "Устройство";
inline constexpr const char* StateHeading = "Состояние";
inline constexpr const char* DescriptionHeading = "Описание";
inline constexpr const char* QuantityHeading = "Величина";
inline constexpr const char* WrittenHeading = "Записано";
inline constexpr const char* ReadHeading = "Считано";
inline constexpr const char* TimeHeading = "Время";
inline constexpr const char* ValueHeading = "Значение";

// The list of ports: whether each is plugged in, and what it is.
inline constexpr const char* PortConnected = "подключён";
inline constexpr const char* PortNotConnected = "не подключён";
inline constexpr const char* OnBoardPort = "встроенный порт";
inline constexpr const char* SerialNumber = "серийный номер ";
inline constexpr const char* NoSerialNumber = "без серийного номера";

// Quantities of the configuration.
inline constexpr const char* SensorType = "Тип датчика";
inline constexpr const char* SensorRange = "Диапазон датчика";
inline constexpr const char* UpperValue = "Верхнее значение диапазона";
inline constexpr const char* LowerValue = "Нижнее значение диапазона";
inline constexpr const char* BreakLevel = "Уровень сигнала обрыв, %";
inline constexpr const char* OutputType = "Тип выхода";

} // namespace cli::texts
