<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>CommandLine</name>
    <message>
        <source>The ICQ folder (instead of the one the registry names).</source>
        <translation>Папка ICQ (вместо указанной в реестре).</translation>
    </message>
    <message>
        <source>The backup folder to list or restore from.</source>
        <translation>Папка резервной копии для просмотра или восстановления.</translation>
    </message>
    <message>
        <source>The backup folder to back up into.</source>
        <translation>Папка, в которую делается резервная копия.</translation>
    </message>
    <message>
        <source>Only this component, by name or folder; may be repeated.</source>
        <translation>Только этот компонент, по имени или папке; можно повторять.</translation>
    </message>
    <message>
        <source>Back up into a new set folder &quot;YYYY-MM-DD HHMM&quot; below the backup folder.</source>
        <translation>Копировать в новую папку набора &quot;YYYY-MM-DD HHMM&quot; внутри папки резервной копии.</translation>
    </message>
    <message>
        <source>With --dated: remove the oldest sets beyond the newest n, after a backup in which everything was copied.</source>
        <translation>С --dated: удалить старые наборы сверх n новейших после копии, в которой всё скопировано.</translation>
    </message>
    <message>
        <source>Create every missing folder of the backup folder&apos;s path, not only the last.</source>
        <translation>Создать все недостающие папки пути к папке резервной копии, а не только последнюю.</translation>
    </message>
    <message>
        <source>Restore from the newest set below --from.</source>
        <translation>Восстановить из новейшего набора внутри --from.</translation>
    </message>
    <message>
        <source>Replace existing files without asking.</source>
        <translation>Заменять существующие файлы без вопросов.</translation>
    </message>
    <message>
        <source>Copy every file, also those the target holds in the same size and time.</source>
        <translation>Копировать все файлы, даже те, что уже есть в цели с тем же размером и временем.</translation>
    </message>
    <message>
        <source>Do not read each copy back to compare it with its source.</source>
        <translation>Не перечитывать копии для сравнения с источником.</translation>
    </message>
    <message>
        <source>Go on although ICQ is running.</source>
        <translation>Продолжать, хотя ICQ запущена.</translation>
    </message>
    <message>
        <source>Undo all the same, moving the files changed since the restore into the set&apos;s newer/ folder first.</source>
        <translation>Всё равно отменить, сначала переместив изменённые после восстановления файлы в папку newer/ набора.</translation>
    </message>
    <message>
        <source>Print nothing but what went wrong.</source>
        <translation>Выводить только ошибки.</translation>
    </message>
    <message>
        <source>Tell each component&apos;s result and what became of every file.</source>
        <translation>Сообщать итог каждого компонента и судьбу каждого файла.</translation>
    </message>
    <message>
        <source>List what would be copied, replaced, linked, put back or removed, and the room it needs; change nothing.</source>
        <translation>Показать, что будет скопировано, заменено, связано, возвращено или удалено, и сколько нужно места; ничего не менять.</translation>
    </message>
    <message>
        <source>Back up every week into dated sets below --to: the settings the user timer reads written and the timer enabled (or, on Windows, the scheduled task).</source>
        <translation>Каждую неделю копировать в датированные наборы внутри --to: записать настройки пользовательского таймера и включить его (в Windows — задание планировщика).</translation>
    </message>
    <message>
        <source>Stop the weekly backup and remove what --weekly set up.</source>
        <translation>Остановить еженедельное копирование и удалить то, что настроил --weekly.</translation>
    </message>
    <message>
        <source>Tell whether the weekly backup is on, its folders, and how the last backup went.</source>
        <translation>Сообщить, включено ли еженедельное копирование, его папки и как прошла последняя копия.</translation>
    </message>
    <message>
        <source>Record the backup as the weekly one (the timer and the scheduled task pass it).</source>
        <translation>Записать копию как еженедельную (этот параметр передают таймер и задание планировщика).</translation>
    </message>
    <message>
        <source>Print the result as one JSON document on standard output.</source>
        <translation>Вывести результат одним документом JSON в стандартный вывод.</translation>
    </message>
    <message>
        <source>Print this help and exit.</source>
        <translation>Показать эту справку и выйти.</translation>
    </message>
    <message>
        <source>Print the version and exit.</source>
        <translation>Показать версию и выйти.</translation>
    </message>
    <message>
        <source>Usage: %1 &lt;command&gt; [options]
Backs up and restores the data of classic ICQ without a window.

Commands:
%2

Options:
%3

&apos;%1 &lt;command&gt; --help&apos; lists the options of a command.
The ICQ folder is the one ICQ&apos;s registry settings name, in the Wine prefix
$WINEPREFIX (else ~/.wine) on Linux, unless --icq names one.
Exit status: 0 all copied, 1 something could not be copied or was kept,
2 bad usage, 3 ICQ is running, 4 no ICQ folder, 130 and 143 stopped by SIGINT
and SIGTERM.</source>
        <translation>Использование: %1 &lt;команда&gt; [параметры]
Резервное копирование и восстановление данных классической ICQ без окна.

Команды:
%2

Параметры:
%3

&apos;%1 &lt;команда&gt; --help&apos; покажет параметры команды.
Папка ICQ — та, что указана в настройках реестра ICQ, в Linux — в префиксе
Wine $WINEPREFIX (иначе ~/.wine), если её не задаёт --icq.
Код выхода: 0 всё скопировано, 1 что-то не скопировано или оставлено,
2 неверный вызов, 3 ICQ запущена, 4 нет папки ICQ, 130 и 143 прервано
сигналами SIGINT и SIGTERM.</translation>
    </message>
    <message>
        <source>Usage: %1 %2 [options]
%3

Options:
%4</source>
        <translation>Использование: %1 %2 [параметры]
%3

Параметры:
%4</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos;.</source>
        <translation>Попробуйте &apos;%1 --help&apos;.</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>не указана команда</translation>
    </message>
    <message>
        <source>a command comes first, not the option &apos;%1&apos;</source>
        <translation>сначала идёт команда, а не параметр &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>неизвестная команда &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1 takes no argument &apos;%2&apos;</source>
        <translation>%1 не принимает аргумент &apos;%2&apos;</translation>
    </message>
    <message>
        <source>--keep takes a number of sets, 1 or more</source>
        <translation>--keep принимает число наборов, 1 или больше</translation>
    </message>
    <message>
        <source>--keep goes with --dated</source>
        <translation>--keep работает только с --dated</translation>
    </message>
    <message>
        <source>--quiet and --verbose exclude each other</source>
        <translation>--quiet и --verbose исключают друг друга</translation>
    </message>
    <message>
        <source>Print the ICQ folder named by ICQ&apos;s registry settings.</source>
        <translation>Показать папку ICQ из настроек реестра ICQ.</translation>
    </message>
    <message>
        <source>List the components and the ICQ users (UINs) on one side.</source>
        <translation>Показать компоненты и пользователей ICQ (UIN) одной стороны.</translation>
    </message>
    <message>
        <source>Copy components from the ICQ folder to a backup folder.</source>
        <translation>Скопировать компоненты из папки ICQ в папку резервной копии.</translation>
    </message>
    <message>
        <source>Copy components from a backup folder back to the ICQ folder, keeping the files it replaces for an undo.</source>
        <translation>Скопировать компоненты из папки резервной копии обратно в папку ICQ, сохранив заменяемые файлы для отмены.</translation>
    </message>
    <message>
        <source>Put back what the newest restore replaced.</source>
        <translation>Вернуть то, что заменило последнее восстановление.</translation>
    </message>
    <message>
        <source>Read every file of a backup back and compare it with the backup&apos;s manifest.</source>
        <translation>Перечитать каждый файл резервной копии и сверить с её манифестом.</translation>
    </message>
    <message>
        <source>Set up the weekly backup into dated sets (the newest 8 kept), remove it, or tell how it stands and how the last backup went.</source>
        <translation>Настроить еженедельное копирование в датированные наборы (хранятся 8 новейших), удалить его или сообщить его состояние и итог последней копии.</translation>
    </message>
    <message>
        <source>copy</source>
        <translation>копировать</translation>
    </message>
    <message>
        <source>replace</source>
        <translation>заменить</translation>
    </message>
    <message>
        <source>link</source>
        <translation>связать</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>без измен.</translation>
    </message>
    <message>
        <source>replaced</source>
        <translation>заменён</translation>
    </message>
    <message>
        <source>copied</source>
        <translation>скопирован</translation>
    </message>
    <message>
        <source>linked</source>
        <translation>связан</translation>
    </message>
    <message>
        <source>kept</source>
        <translation>оставлен</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>not reached</source>
        <translation>не дошло</translation>
    </message>
    <message>
        <source>%1 Go on all the same? [y]es, [n]o: </source>
        <translation>%1 Всё равно продолжить? [д]а, [н]ет: </translation>
    </message>
    <message>
        <source>y</source>
        <translation>д</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
    <message>
        <source>%1 Nothing was copied.</source>
        <translation>%1 Ничего не скопировано.</translation>
    </message>
    <message>
        <source>Replace %1? [y]es, [a]ll, [n]o, [c]ancel: </source>
        <translation>Заменить %1? [д]а, [в]се, [н]ет, [о]тмена: </translation>
    </message>
    <message>
        <source>a</source>
        <translation>в</translation>
    </message>
    <message>
        <source>all</source>
        <translation>все</translation>
    </message>
    <message>
        <source>n</source>
        <translation>н</translation>
    </message>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>c</source>
        <translation>о</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>отмена</translation>
    </message>
    <message>
        <source>%1: %2%, %3 of %4, %5/s</source>
        <translation>%1: %2%, %3 из %4, %5/с</translation>
    </message>
    <message>
        <source>%1: %2 (%3 files, %4 copied; %5 unchanged)</source>
        <translation>%1: %2 (файлов: %3, скопировано %4; без изменений: %5)</translation>
    </message>
    <message>
        <source>done</source>
        <translation>готово</translation>
    </message>
    <message>
        <source>FAILED</source>
        <translation>ОШИБКА</translation>
    </message>
    <message>
        <source>backup needs --to</source>
        <translation>для backup нужен --to</translation>
    </message>
    <message>
        <source>no complete dated backup set in %1</source>
        <translation>нет полного датированного набора резервной копии в %1</translation>
    </message>
    <message>
        <source>check needs --from</source>
        <translation>для check нужен --from</translation>
    </message>
    <message>
        <source>no backup folder %1</source>
        <translation>нет папки резервной копии %1</translation>
    </message>
    <message>
        <source>%1 cannot be checked: its manifest names an %2 (a later version made it)</source>
        <translation>%1 нельзя проверить: его манифест указывает %2 (его создала более новая версия)</translation>
    </message>
    <message>
        <source>%1 is incomplete: it has no manifest (the backup that made it did not finish)</source>
        <translation>%1 неполная: в ней нет манифеста (создавшее её копирование не завершилось)</translation>
    </message>
    <message>
        <source>%1: %2 files, %3, read back and as recorded.</source>
        <translation>%1: файлов: %2, %3, перечитаны и совпадают с записанным.</translation>
    </message>
    <message>
        <source>list takes --icq or --from, not both</source>
        <translation>list принимает --icq или --from, но не оба</translation>
    </message>
    <message>
        <source>there is no folder %1</source>
        <translation>нет папки %1</translation>
    </message>
    <message>
        <source>no plugin files in %1</source>
        <translation>нет файлов плагинов в %1</translation>
    </message>
    <message>
        <source>Components in %1:</source>
        <translation>Компоненты в %1:</translation>
    </message>
    <message>
        <source>UINs:</source>
        <translation>UIN:</translation>
    </message>
    <message>
        <source>Dated sets, oldest first:</source>
        <translation>Датированные наборы, сначала старые:</translation>
    </message>
    <message>
        <source>  %1  made %2 UTC, number %3%4</source>
        <translation>  %1  создан %2 UTC, номер %3%4</translation>
    </message>
    <message>
        <source>, incomplete</source>
        <translation>, неполный</translation>
    </message>
    <message>
        <source>restore needs --from</source>
        <translation>для restore нужен --from</translation>
    </message>
    <message>
        <source>schedule takes one of --weekly, --off and --status</source>
        <translation>schedule принимает один из --weekly, --off и --status</translation>
    </message>
    <message>
        <source>schedule --weekly needs --to</source>
        <translation>для schedule --weekly нужен --to</translation>
    </message>
    <message>
        <source>--to and --icq go with --weekly</source>
        <translation>--to и --icq работают только с --weekly</translation>
    </message>
    <message>
        <source>The weekly backup is off.</source>
        <translation>Еженедельное копирование выключено.</translation>
    </message>
    <message>
        <source>Weekly backup to %1: %2.</source>
        <translation>Еженедельная резервная копия в %1: %2.</translation>
    </message>
    <message>
        <source>Weekly backup: </source>
        <translation>Еженедельная резервная копия: </translation>
    </message>
    <message>
        <source>Backup folder: </source>
        <translation>Папка резервной копии: </translation>
    </message>
    <message>
        <source>ICQ folder: </source>
        <translation>Папка ICQ: </translation>
    </message>
    <message>
        <source>Wine prefix: </source>
        <translation>Префикс Wine: </translation>
    </message>
    <message>
        <source>No backup was made yet.</source>
        <translation>Резервных копий ещё не было.</translation>
    </message>
    <message>
        <source>error %1: %2 (in %3)</source>
        <translation>ошибка %1: %2 (в %3)</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>не удаётся прочитать %1: %2</translation>
    </message>
    <message>
        <source>Dry run: %1 files (%2) to write, %3 needed, %4 free on %5. Nothing was changed.</source>
        <translation>Пробный запуск: файлов к записи: %1 (%2), нужно %3, свободно %4 на %5. Ничего не изменено.</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>неизвестно</translation>
    </message>
    <message>
        <source>stopped by %1: %2 files copied, the file being written dropped; copied whole: %3; not whole: %4</source>
        <translation>прервано сигналом %1: файлов скопировано: %2, записываемый файл отброшен; скопировано полностью: %3; не полностью: %4</translation>
    </message>
    <message>
        <source>no component</source>
        <translation>ни одного компонента</translation>
    </message>
    <message>
        <source>the files it replaced are kept in %1</source>
        <translation>заменённые файлы сохранены в %1</translation>
    </message>
    <message>
        <source>%1 could not be copied</source>
        <translation>не удалось скопировать %1</translation>
    </message>
    <message>
        <source>kept, not replaced: </source>
        <translation>оставлен, не заменён: </translation>
    </message>
    <message>
        <source>the run&apos;s last step failed (see above)</source>
        <translation>последний шаг запуска не удался (см. выше)</translation>
    </message>
    <message>
        <source>%1 &quot;zeb2000-cli undo&quot; puts them back.</source>
        <translation>%1 &quot;zeb2000-cli undo&quot; вернёт их.</translation>
    </message>
    <message>
        <source>%1 Name the ICQ folder with --icq.</source>
        <translation>%1 Укажите папку ICQ через --icq.</translation>
    </message>
    <message>
        <source>ICQ&apos;s registry settings name no ICQ folder.</source>
        <translation>Настройки реестра ICQ не указывают папку ICQ.</translation>
    </message>
    <message>
        <source>no ICQ installation in %1 (no icq.exe)</source>
        <translation>нет установки ICQ в %1 (нет icq.exe)</translation>
    </message>
    <message>
        <source>no component &quot;%1&quot; in %2; &quot;list&quot; shows those there</source>
        <translation>нет компонента &quot;%1&quot; в %2; &quot;list&quot; покажет имеющиеся</translation>
    </message>
    <message>
        <source>ICQ is running; close it first, or go on with --force.</source>
        <translation>ICQ запущена; сначала закройте её или продолжите с --force.</translation>
    </message>
    <message>
        <source>%1 does not exist, nor the folder above it; the disk it is on may not be mounted. Nothing was copied (--mkpath creates the whole path).</source>
        <translation>%1 не существует, как и папка над ней; возможно, её диск не подключён. Ничего не скопировано (--mkpath создаёт весь путь).</translation>
    </message>
    <message>
        <source>%1 could not be created.</source>
        <translation>Не удалось создать %1.</translation>
    </message>
    <message>
        <source>there is nothing to copy in %1</source>
        <translation>в %1 нечего копировать</translation>
    </message>
    <message>
        <source>the last backup&apos;s state was not recorded: </source>
        <translation>состояние последней резервной копии не записано: </translation>
    </message>
    <message>
        <source>Restoring from the set %1 (made %2 UTC): %3.</source>
        <translation>Восстановление из набора %1 (создан %2 UTC): %3.</translation>
    </message>
    <message>
        <source>the set %1 is incomplete</source>
        <translation>набор %1 неполный</translation>
    </message>
    <message>
        <source>Removed the old set %1</source>
        <translation>Удалён старый набор %1</translation>
    </message>
    <message>
        <source>left in place: </source>
        <translation>оставлено на месте: </translation>
    </message>
    <message>
        <source>there is no restore to undo in %1</source>
        <translation>в %1 нет восстановления для отмены</translation>
    </message>
    <message>
        <source>changed since the restore: </source>
        <translation>изменён после восстановления: </translation>
    </message>
    <message>
        <source>nothing was put back. &quot;zeb2000-cli undo --keep-newer&quot; puts back all the same and keeps the changed files in %1</source>
        <translation>ничего не возвращено. &quot;zeb2000-cli undo --keep-newer&quot; всё равно вернёт файлы и сохранит изменённые в %1</translation>
    </message>
    <message>
        <source>  move aside %1</source>
        <translation>  отложить   %1</translation>
    </message>
    <message>
        <source>  put back   %1</source>
        <translation>  вернуть    %1</translation>
    </message>
    <message>
        <source>  remove     %1</source>
        <translation>  удалить    %1</translation>
    </message>
    <message>
        <source>Dry run: the undo of %1 would put back %2 files and remove %3. Nothing was changed.</source>
        <translation>Пробный запуск: отмена %1 вернула бы файлов: %2 и удалила бы: %3. Ничего не изменено.</translation>
    </message>
    <message>
        <source>changed since the restore, kept in %1: %2</source>
        <translation>изменён после восстановления, сохранён в %1: %2</translation>
    </message>
    <message>
        <source>not undone: </source>
        <translation>не отменено: </translation>
    </message>
    <message>
        <source>the undo stopped; %1 stays. Run &quot;zeb2000-cli undo&quot; again to finish.</source>
        <translation>отмена остановилась; %1 остаётся. Запустите &quot;zeb2000-cli undo&quot; снова, чтобы закончить.</translation>
    </message>
    <message>
        <source>Put back what the restore of %1 replaced.</source>
        <translation>Возвращено то, что заменило восстановление %1.</translation>
    </message>
    <message>
        <source>zeb2000-cli: the signal handlers could not be set</source>
        <translation>zeb2000-cli: не удалось установить обработчики сигналов</translation>
    </message>
    <message>
        <source>Checking the set %1 (made %2 UTC).</source>
        <translation>Проверяется набор %1 (создан %2 UTC).</translation>
    </message>
    <message>
        <source>Backup into %1 from %2: %3 of %4 components copied whole, %5 files (%6) copied, %7 unchanged, %8 kept, in %9 s.</source>
        <translation>Резервная копия в %1 из %2: полностью скопировано компонентов: %3 из %4, файлов скопировано: %5 (%6), без изменений: %7, оставлено: %8, за %9 с.</translation>
    </message>
    <message>
        <source>Restore from %1 into %2: %3 of %4 components copied whole, %5 files (%6) copied, %7 unchanged, %8 kept, in %9 s.</source>
        <translation>Восстановление из %1 в %2: полностью скопировано компонентов: %3 из %4, файлов скопировано: %5 (%6), без изменений: %7, оставлено: %8, за %9 с.</translation>
    </message>
</context>
</TS>
