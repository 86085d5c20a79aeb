<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>Check</name>
    <message>
        <source>damaged</source>
        <translation>повреждён</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>отсутствует</translation>
    </message>
    <message>
        <source>extra</source>
        <translation>лишний</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>не читается</translation>
    </message>
</context>
<context>
    <name>LastBackup</name>
    <message>
        <source>Last weekly backup</source>
        <translation>Последняя еженедельная резервная копия</translation>
    </message>
    <message>
        <source>Last backup</source>
        <translation>Последняя резервная копия</translation>
    </message>
    <message>
        <source>less than a day ago</source>
        <translation>менее суток назад</translation>
    </message>
    <message>
        <source>1 day ago</source>
        <translation>1 день назад</translation>
    </message>
    <message>
        <source>%1 days ago</source>
        <translation>%1 дн. назад</translation>
    </message>
    <message>
        <source>%1: %2 to %3 (complete)</source>
        <translation>%1: %2 в %3 (полная)</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>понедельник</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>вторник</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>среда</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>четверг</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>пятница</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>суббота</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>воскресенье</translation>
    </message>
    <message>
        <source>%1 failed: %2 (%3)</source>
        <translation>%1 не удалась: %2 (%3)</translation>
    </message>
    <message>
        <source>ICQ was running</source>
        <translation>ICQ была запущена</translation>
    </message>
    <message>
        <source>the backup folder could not be made</source>
        <translation>не удалось создать папку резервной копии</translation>
    </message>
    <message>
        <source>there was nothing to copy</source>
        <translation>нечего было копировать</translation>
    </message>
    <message>
        <source>not enough room</source>
        <translation>не хватило места</translation>
    </message>
    <message>
        <source>it was stopped</source>
        <translation>она была прервана</translation>
    </message>
    <message>
        <source>%1 of %2 components not copied whole</source>
        <translation>компонентов скопировано не полностью: %1 из %2</translation>
    </message>
    <message>
        <source>its manifest could not be written</source>
        <translation>не удалось записать её манифест</translation>
    </message>
    <message>
        <source>files were kept</source>
        <translation>файлы были оставлены</translation>
    </message>
    <message>
        <source>no folder for the program&apos;s state (neither $XDG_STATE_HOME nor $HOME is set)</source>
        <translation>нет папки для состояния программы (не задана ни $XDG_STATE_HOME, ни $HOME)</translation>
    </message>
</context>
<context>
    <name>Registry</name>
    <message>
        <source>Error opening key.</source>
        <translation>Ошибка открытия ключа.</translation>
    </message>
    <message>
        <source>Error closing key.</source>
        <translation>Ошибка закрытия ключа.</translation>
    </message>
    <message>
        <source>Error getting subkey value.</source>
        <translation>Ошибка получения значения подраздела.</translation>
    </message>
</context>
<context>
    <name>Schedule</name>
    <message>
        <source>no configuration folder (neither $XDG_CONFIG_HOME nor $HOME is set)</source>
        <translation>нет папки настроек (не заданы ни $XDG_CONFIG_HOME, ни $HOME)</translation>
    </message>
    <message>
        <source>the weekly timer %1 is not installed (the package puts it in /usr/lib/systemd/user)</source>
        <translation>еженедельный таймер %1 не установлен (пакет кладёт его в /usr/lib/systemd/user)</translation>
    </message>
    <message>
        <source>%1 cannot be handed to systemd (no UTF-8, or a line break in its name)</source>
        <translation>%1 нельзя передать systemd (не UTF-8 или перевод строки в имени)</translation>
    </message>
    <message>
        <source>the timer is enabled and started</source>
        <translation>таймер включён и запущен</translation>
    </message>
    <message>
        <source>%1 could not be made</source>
        <translation>не удалось создать %1</translation>
    </message>
    <message>
        <source>the timer starts at the next login (%1)</source>
        <translation>таймер запустится при следующем входе (%1)</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выключено</translation>
    </message>
    <message>
        <source>active</source>
        <translation>активно</translation>
    </message>
    <message>
        <source>starts at the next login (%1)</source>
        <translation>запустится при следующем входе (%1)</translation>
    </message>
    <message>
        <source>the task &quot;%1&quot; of the Task Scheduler runs it</source>
        <translation>её выполняет задание &quot;%1&quot; планировщика заданий</translation>
    </message>
    <message>
        <source>on, but its folders cannot be read: %1</source>
        <translation>включено, но его папки не читаются: %1</translation>
    </message>
    <message>
        <source>unknown: %1</source>
        <translation>неизвестно: %1</translation>
    </message>
    <message>
        <source>systemctl could not be run: %1</source>
        <translation>не удалось запустить systemctl: %1</translation>
    </message>
    <message>
        <source>systemctl gave no answer</source>
        <translation>systemctl не ответил</translation>
    </message>
    <message>
        <source>the Task Scheduler refused (%1: HRESULT 0x%2)</source>
        <translation>планировщик заданий отказал (%1: HRESULT 0x%2)</translation>
    </message>
</context>
<context>
    <name>Size</name>
    <message>
        <source>%1 bytes</source>
        <translation>%1 байт</translation>
    </message>
</context>
<context>
    <name>Task</name>
    <message>
        <source>The manifest %1 could not be removed: %2</source>
        <translation>Не удалось удалить манифест %1: %2</translation>
    </message>
    <message>
        <source>The manifest %1 could not be written: %2</source>
        <translation>Не удалось записать манифест %1: %2</translation>
    </message>
    <message>
        <source>The backup needs %1; %2 are free on %3.</source>
        <translation>Резервной копии нужно %1; на %3 свободно %2.</translation>
    </message>
    <message>
        <source>The restore needs %1; %2 are free on %3.</source>
        <translation>Восстановлению нужно %1; на %3 свободно %2.</translation>
    </message>
    <message>
        <source>The manifest in %1 names an %2: a later version of ZEB 2000 made this backup; back up with that version, or into another folder.</source>
        <translation>Манифест в %1 указывает %2: эту резервную копию сделала более новая версия ZEB 2000; делайте копию этой версией или в другую папку.</translation>
    </message>
    <message>
        <source>Old undo sets could not be removed: %1</source>
        <translation>Не удалось удалить старые наборы отмены: %1</translation>
    </message>
    <message>
        <source>The previous files were kept in %1.</source>
        <translation>Прежние файлы сохранены в %1.</translation>
    </message>
    <message>
        <source>The files were copied, but the file system of %1 does not keep the modes or times of some of them.</source>
        <translation>Файлы скопированы, но файловая система %1 не хранит права или время части из них.</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>и ещё %1</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Не удаётся прочитать %1: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>The backup folder %1 could not be made: %2</source>
        <translation>Не удалось создать папку резервной копии %1: %2</translation>
    </message>
    <message>
        <source>The backup set %1 could not be removed (%2: %3).</source>
        <translation>Не удалось удалить набор резервной копии %1 (%2: %3).</translation>
    </message>
    <message>
        <source>%1 could not be looked at: %2</source>
        <translation>Не удалось проверить %1: %2</translation>
    </message>
    <message>
        <source>The lock of %1 could not be taken (%2: %3).</source>
        <translation>Не удалось заблокировать %1 (%2: %3).</translation>
    </message>
    <message>
        <source>Another run (process %1) is using %2; nothing was changed. Try again when it has finished.</source>
        <translation>Другой запуск (процесс %1) использует %2; ничего не изменено. Повторите, когда он закончит.</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>неизвестен</translation>
    </message>
    <message>
        <source>The record of the set could not be written: %1</source>
        <translation>Не удалось записать запись набора: %1</translation>
    </message>
    <message>
        <source>The set could not be made: the record of %1 holds the highest number a set can have; move that set elsewhere.</source>
        <translation>Не удалось создать набор: запись %1 содержит наибольший возможный номер набора; перенесите этот набор в другое место.</translation>
    </message>
    <message>
        <source>The set could not be made: %1</source>
        <translation>Не удалось создать набор: %1</translation>
    </message>
    <message>
        <source>%1 is the root of a file system; back up into a folder of its own.</source>
        <translation>%1 — корень файловой системы; делайте резервную копию в отдельную папку.</translation>
    </message>
    <message>
        <source>%1: the name &quot;%2&quot; ends in a blank or a dot, which Windows cannot make reliably. Choose another name.</source>
        <translation>%1: имя &quot;%2&quot; оканчивается пробелом или точкой, а такое Windows не создаёт надёжно. Выберите другое имя.</translation>
    </message>
    <message>
        <source>%1 lies inside %2, which a backup copies: every backup would copy the earlier ones into ICQ&apos;s own data. Choose a folder outside it.</source>
        <translation>%1 находится внутри %2, которую копирует резервное копирование: каждая копия переносила бы прежние в собственные данные ICQ. Выберите папку вне её.</translation>
    </message>
    <message>
        <source>the empty set %1 could not be removed (%2: %3)</source>
        <translation>не удалось удалить пустой набор %1 (%2: %3)</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>The undo folder could not be made: %1</source>
        <translation>Не удалось создать папку отмены: %1</translation>
    </message>
    <message>
        <source>%1 does not lie in the ICQ folder %2</source>
        <translation>%1 не находится в папке ICQ %2</translation>
    </message>
    <message>
        <source>The ICQ folder could not be read: %1</source>
        <translation>Не удалось прочитать папку ICQ: %1</translation>
    </message>
    <message>
        <source>; left %1</source>
        <translation>; осталось: %1</translation>
    </message>
    <message>
        <source>%1 could not be kept in %2: %3%4</source>
        <translation>Не удалось сохранить %1 в %2: %3%4</translation>
    </message>
    <message>
        <source>The empty undo set could not be removed: %1</source>
        <translation>Не удалось удалить пустой набор отмены: %1</translation>
    </message>
    <message>
        <source>The undo folder could not be removed: %1</source>
        <translation>Не удалось удалить папку отмены: %1</translation>
    </message>
    <message>
        <source>the record %1 holds a line that is not a safe entry: %2</source>
        <translation>запись %1 содержит строку, которая не является надёжной записью: %2</translation>
    </message>
    <message>
        <source>%1: its kept copy is missing from the set</source>
        <translation>%1: сохранённая копия отсутствует в наборе</translation>
    </message>
    <message>
        <source>the set could not be removed: %1</source>
        <translation>не удалось удалить набор: %1</translation>
    </message>
</context>
</TS>
