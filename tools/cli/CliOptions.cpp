#include "CliOptions.h"

#include <QRegularExpression>

namespace {

const QStringList kCommands = {QStringLiteral("identify"), QStringLiteral("info"), QStringLiteral("config"),
                               QStringLiteral("measure"), QStringLiteral("search"), QStringLiteral("verify"),
                               QStringLiteral("history"), QStringLiteral("certificate")};

bool Fail(QString* error, const QString& text)
{
    *error = text;
    return false;
}

bool ParseInt(const QString& text, int min, int max, int* value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

// The options of history and certificate; false when `name` is none of them.
template <class TakeValue, class Flag>
bool ParseHistoryOption(const QString& c, const QString& name, TakeValue& takeValue, Flag& flag, TCliOptions& o, bool* ok)
{
    const bool history = c == QLatin1String("history");
    const bool certificate = c == QLatin1String("certificate");
    if (history && name == QLatin1String("--since"))
        *ok = takeValue(&o.since);
    else if (history && name == QLatin1String("--verify"))
        *ok = flag(&o.verify);
    else if (certificate && name == QLatin1String("--verify"))
        *ok = (o.verify = true) && takeValue(&o.verifyFile);
    else if (certificate && name == QLatin1String("--out"))
        *ok = takeValue(&o.out);
    else if (certificate && name == QLatin1String("--temperature"))
        *ok = takeValue(&o.ambientTemperature);
    else if (certificate && name == QLatin1String("--humidity"))
        *ok = takeValue(&o.humidity);
    else if (certificate && name == QLatin1String("--technician"))
        *ok = takeValue(&o.technician);
    else if (certificate && name == QLatin1String("--approver"))
        *ok = takeValue(&o.approver);
    else
        return false;
    return true;
}

} // namespace

bool ParseCliOptions(const QStringList& args, TCliOptions& o, QString* error)
{
    for (int i = 0; i < args.size(); ++i) {
        QString name = args[i];
        QString value;
        bool inlineValue = false;
        if (name.startsWith(QLatin1String("--")) && name.contains('=')) {
            value = name.mid(name.indexOf('=') + 1);
            name = name.left(name.indexOf('='));
            inlineValue = true;
        }
        // The option's value: after "=" or the next argument.
        auto takeValue = [&](QString* out) {
            if (inlineValue) {
                *out = value;
                return true;
            }
            if (i + 1 >= args.size())
                return Fail(error, QStringLiteral("Не указано значение параметра %1").arg(name));
            *out = args[++i];
            return true;
        };
        auto takeInt = [&](int min, int max, int* out) {
            QString text;
            if (!takeValue(&text))
                return false;
            if (!ParseInt(text, min, max, out))
                return Fail(error, QStringLiteral("Недопустимое значение %1 «%2» (допустимо %3..%4)")
                                       .arg(name, text)
                                       .arg(min)
                                       .arg(max));
            return true;
        };
        auto flag = [&](bool* out) {
            if (inlineValue)
                return Fail(error, QStringLiteral("Параметр %1 не принимает значения").arg(name));
            *out = true;
            return true;
        };
        const QString& c = o.command;
        bool ok = true;
        if (name == QLatin1String("--help") || name == QLatin1String("-h"))
            ok = flag(&o.help);
        else if (name == QLatin1String("--port"))
            ok = takeValue(&o.port);
        else if (name == QLatin1String("--address"))
            ok = takeInt(1, 255, &o.address);
        else if (name == QLatin1String("--repeat"))
            ok = takeInt(1, 10, &o.repeat);
        else if (name == QLatin1String("--json"))
            ok = flag(&o.json);
        else if (name == QLatin1String("--yes"))
            ok = flag(&o.yes);
        else if (name == QLatin1String("--quiet") || name == QLatin1String("-q"))
            ok = flag(&o.quiet);
        else if (c == QLatin1String("info") && name == QLatin1String("--text"))
            ok = (o.hasText = true) && takeValue(&o.text);
        else if ((c == QLatin1String("info") || c == QLatin1String("history") || c == QLatin1String("certificate"))
                 && name == QLatin1String("--number"))
            ok = (o.hasNumber = true) && takeValue(&o.number);
        else if (c == QLatin1String("info") && name == QLatin1String("--date"))
            ok = (o.hasDate = true) && takeValue(&o.date);
        else if (c == QLatin1String("config") && name == QLatin1String("--load"))
            ok = takeValue(&o.load);
        else if (c == QLatin1String("config") && name == QLatin1String("--save"))
            ok = takeValue(&o.save);
        else if (c == QLatin1String("config") && name == QLatin1String("--set")) {
            QString pair;
            ok = takeValue(&pair);
            if (ok && !pair.contains('='))
                ok = Fail(error, QStringLiteral("Параметр --set ожидает КЛЮЧ=ЗНАЧЕНИЕ, получено «%1»").arg(pair));
            if (ok)
                o.sets << pair;
        } else if (c == QLatin1String("config") && name == QLatin1String("--write"))
            ok = flag(&o.write);
        else if (c == QLatin1String("measure") && name == QLatin1String("--count"))
            ok = takeInt(1, 1000000, &o.count);
        else if ((c == QLatin1String("measure") || c == QLatin1String("history")) && name == QLatin1String("--csv"))
            ok = flag(&o.csv);
        else if (c == QLatin1String("search") && name == QLatin1String("--quick"))
            ok = flag(&o.quick);
        else if (ParseHistoryOption(c, name, takeValue, flag, o, &ok))
            ;
        else if (c == QLatin1String("verify") && name == QLatin1String("--points"))
            ok = takeInt(2, 11, &o.points);
        else if (c == QLatin1String("verify") && name == QLatin1String("--at")) {
            QString list;
            ok = takeValue(&list);
            o.at.clear();
            for (const QString& part : list.split(QRegularExpression(QStringLiteral("[,;]")), Qt::SkipEmptyParts)) {
                bool number = false;
                const double t = part.trimmed().toDouble(&number);
                if (ok && !number)
                    ok = Fail(error, QStringLiteral("Недопустимая температура «%1» в --at (ожидается "
                                                    "список через запятую, например 0,50,100)")
                                         .arg(part));
                o.at << t;
            }
            if (ok && (o.at.isEmpty() || o.at.size() > 11))
                ok = Fail(error, QStringLiteral("Параметр --at ожидает от 1 до 11 температур"));
        } else if (c == QLatin1String("verify") && name == QLatin1String("--meter"))
            ok = takeValue(&o.meter);
        else if (c == QLatin1String("verify") && name == QLatin1String("--source"))
            ok = takeValue(&o.source);
        else if (c == QLatin1String("verify") && name == QLatin1String("--tolerance")) {
            QString text;
            ok = takeValue(&text);
            bool number = false;
            o.tolerance = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&number);
            if (ok && (!number || !(o.tolerance > 0) || o.tolerance > 100))
                ok = Fail(error, QStringLiteral("Недопустимое значение --tolerance «%1» (допустимо больше 0 "
                                                "и не больше 100 % диапазона)")
                                     .arg(text));
        }
        else if (c == QLatin1String("search") && name == QLatin1String("--all"))
            ok = flag(&o.all);
        else if (name.startsWith('-'))
            ok = Fail(error, c.isEmpty() ? QStringLiteral("Неизвестный параметр %1").arg(name)
                                         : QStringLiteral("Неизвестный параметр %1 команды %2").arg(name, c));
        else if (c.isEmpty()) {
            if (!kCommands.contains(name))
                ok = Fail(error, QStringLiteral("Неизвестная команда «%1»").arg(name));
            o.command = name;
        } else
            ok = Fail(error, QStringLiteral("Лишний аргумент «%1»").arg(name));
        if (!ok)
            return false;
    }
    if (o.command.isEmpty() && !o.help)
        return Fail(error, QStringLiteral("Не указана команда"));
    return true;
}

QString CliHelpText()
{
    return QStringLiteral(
        "Использование: zelkor-cli [--port УСТРОЙСТВО|COMn] [--address N] [--repeat N] [--json] [--yes] [--quiet] КОМАНДА ...\n"
        "\n"
        "Команды:\n"
        "  identify                       тип преобразователя и информация о датчике\n"
        "  info [--text Т] [--number N] [--date ДД.ММ.ГГГГ|today]\n"
        "                                 прочитать информацию; с параметрами: записать и прочитать снова\n"
        "  config [--load ФАЙЛ] [--set КЛЮЧ=ЗНАЧЕНИЕ ...] [--save ФАЙЛ] [--write]\n"
        "                                 прочитать конфигурацию; --load/--set изменяют её (с проверками\n"
        "                                 страницы конфигурации), --write записывает и читает обратно,\n"
        "                                 --save сохраняет профиль (.zcf)\n"
        "  measure [--count N] [--csv]    измерения раз в секунду: температура, сопротивление,\n"
        "                                 состояние, дата настройки (без --count до Ctrl+C)\n"
        "  search [--quick] [--all]       найти прибор на порту (адреса 1..255); с --all: все\n"
        "                                 отвечающие адреса, а не только первый\n"
        "  history [--number N] [--since ДД.ММ.ГГГГ] [--csv]\n"
        "                                 события журнала приборов; --verify: проверить цепочку записей\n"
        "  certificate --number N [--out ФАЙЛ] [--temperature °C] [--humidity %] [--technician Ф.И.О.]\n"
        "              [--approver Ф.И.О.]  выдать сертификат калибровки по последней поверке датчика\n"
        "  certificate --verify ФАЙЛ      проверить сертификат по журналу приборов\n"
        "  verify [--points N | --at T1,T2,...] [--tolerance ПРОЦЕНТ] [--meter УСТРОЙСТВО [--source УСТРОЙСТВО]]\n"
        "                                 проверка: для каждой точки выводит сопротивление, которое\n"
        "                                 нужно установить, ждёт Enter и измеренный ток в мА (строка\n"
        "                                 стандартного ввода; число сразу вместо Enter тоже годится);\n"
        "                                 код 0 — ГОДЕН, 7 — НЕ ГОДЕН; с --meter ток читает мультиметр,\n"
        "                                 с --source сопротивление устанавливает источник (SCPI; линия\n"
        "                                 и команды — из раздела [Instruments] файла настроек)\n"
        "\n"
        "--quiet (-q) убирает строки о ходе работы; сообщения об ошибках остаются.\n"
        "\n"
        "Ключи --set: sensor=pt391|pt385|cu428, r0=100|50, bottom=°C, top=°C, output=direct|inverse,\n"
        "  alarm=3.2|3.6|21|22 (4-20 мА) или 0|5.5 (0-5 мА), average=off|1..30, address=1..255\n"
        "\n"
        "Порт, адрес и число попыток по умолчанию берутся из файла настроек Zelkor.ini программы\n"
        "(раздел [Ports] сопоставляет COMn с устройством); файл не изменяется.\n"
        "\n"
        "Коды завершения: 0 выполнено, 2 ошибка в командной строке, 3 нет ответа от прибора,\n"
        "  4 прибор отказал (или не сохранил записанное), 5 порт не открывается,\n"
        "  6 значение не прошло проверку, 7 проверка: НЕ ГОДЕН,\n"
        "  8 журнал или сертификат не прошли проверку подлинности, 9 журнал приборов недоступен\n");
}
