#pragma once
// The texts the exchange engine and its transactions show or send, in one place so that each
// is written once.

namespace protocol::texts {

// Status bar.
inline constexpr const char* Sent = "Передано: ";
inline constexpr const char* Received = "Принято: ";

// Starters.
inline constexpr const char* PortNotConnected = "Неверно задан номер СОM-порта";
inline constexpr const char* NoRangeSelected = "Не выбран тип или диапазон датчика!";
inline constexpr const char* BadUpper = "Неверно введено верхнее значение диапазона!";
inline constexpr const char* UpperOutOfRange =
    "Верхнее значение диапазона \nвне допустимого диапазона датчика!";
inline constexpr const char* BadLower = "Неверно введено нижнее значение диапазона!";
inline constexpr const char* LowerOutOfRange =
    "Нижнее значение диапазона \nвне допустимого диапазона датчика!";
inline constexpr const char* BadBreakLevel = "Неверно введено значение уровня\nсигнала обрыв!";
inline constexpr const char* BreakLevelOutOfRange =
    "Значение сигнала обрыв\nвне допустимого диапазона!";
inline constexpr const char* ConnectSubstitute = "Установите аналог датчика согласно рисунку!";
inline constexpr const char* CheckOutputMode =
    "Прооверьте, что переключатель на приборе задает\nрежим выхода:";
inline constexpr const char* OutputMode10V = "0 - 10B";
inline constexpr const char* OutputMode5mA = "0 - 5 mA";
inline constexpr const char* OutputMode20mA = "0 - 20 mA";
inline constexpr const char* CalibrationWindowClosedEarly =
    "Калибровка не завершена!\nДля правильной работы прибора\nперевключите его питание.";

// Replies.
inline constexpr const char* NoConnection = "Нет связи с прибором!";
inline constexpr const char* NotUnderstood = "Прибор не понял команду!";
inline constexpr const char* BadReply = "Прибор прислал неверный ответ!";
inline constexpr const char* ExchangeError = "Ошибка обмена с прибором!";
// A connection lost in the middle of a transaction that changes what the transducer holds.
inline constexpr const char* PartialWrite =
    "Прибор мог сохранить только часть новой конфигурации: когда связь восстановится, "
    "запишите её ещё раз.";
inline constexpr const char* PartialFactoryReset =
    "Заводские настройки могли восстановиться не полностью: когда связь восстановится, "
    "повторите восстановление.";
inline constexpr const char* PartialCalibration =
    "Прибор мог сохранить только часть калибровки: когда связь восстановится, повторите "
    "калибровку.";
inline constexpr const char* Temperature = "Температура (град. С): ";
inline constexpr const char* Resistance = "Сопротивление (Ом): ";

// Calibrations.
inline constexpr const char* ZeroCalibrationError = "Ошибка калибровки нуля!";
inline constexpr const char* GainCalibrationError = "Ошибка калибровки усиления!";
inline constexpr const char* CalibrationSucceeded = "Калибровка завершена успешно!";
inline constexpr const char* CalibrationUnfinished = "Калибровка не завершена!";
inline constexpr const char* MinimumCaption = "Калибровка минимума выходного сигнала";
inline constexpr const char* MaximumCaption = "Калибровка максимума выходного сигнала";
inline constexpr const char* MeasuredValuePrompt = "Введите измеренное значение выхода";
inline constexpr const char* InvalidEntry =
    "Введено недопустимое значение числа,\nповторите калибровку";

} // namespace protocol::texts
