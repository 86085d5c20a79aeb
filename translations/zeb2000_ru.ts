<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>frmErrorBox</name>
    <message>
        <source>Critial application error !</source>
        <translation>Критическая ошибка приложения !</translation>
    </message>
    <message>
        <source>Error Details<byte value="xd"/>
</source>
        <translation>Подробности ошибки<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>This application has encountered a critical error, details of which are given below. :</source>
        <translation>В приложении произошла критическая ошибка, подробности ниже. :</translation>
    </message>
    <message>
        <source>To help make this application totally bug-free, please email this data to %1. You can click on the button below to start your default mail client, and send the mail. Alternatively, this data has also been copied to the clipboard, and you can paste it into your mail client if it doesn&apos;t start up after clicking this button.</source>
        <translation>Чтобы программа стала безошибочной, отправьте эти данные на %1. Кнопка ниже запустит вашу почтовую программу. Данные также скопированы в буфер обмена: вставьте их в письмо, если почтовая программа не запустится.</translation>
    </message>
    <message>
        <source>While it may be possible to continue in cases of some errors, it is not recommended, unless you really know what you&apos;re upto. This feature is intended to be used by advanced users only.</source>
        <translation>После некоторых ошибок можно продолжить работу, но это не рекомендуется, если вы не знаете точно, что делаете. Только для опытных пользователей.</translation>
    </message>
    <message>
        <source>Send &amp;Email</source>
        <translation>&amp;Отправить письмо</translation>
    </message>
    <message>
        <source>Continue (Caution!)</source>
        <translation>Продолжить (опасно!)</translation>
    </message>
    <message>
        <source>Shut Down Application</source>
        <translation>Закрыть программу</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>number</source>
        <translation>номер</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>полный</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>неполный</translation>
    </message>
    <message>
        <source>This set is incomplete: the backup that made it did not finish, so files may be missing from it or only partly copied.</source>
        <translation>Этот набор неполный: копирование, которое его создавало, не завершилось, поэтому файлы могут отсутствовать или быть скопированы не полностью.</translation>
    </message>
    <message>
        <source>Do you wish to restore from it all the same?</source>
        <translation>Всё равно восстановить из него?</translation>
    </message>
    <message>
        <source>Backup set</source>
        <translation>Набор копий</translation>
    </message>
    <message>
        <source>No backup plugins were found!</source>
        <translation>Модули резервного копирования не найдены!</translation>
    </message>
    <message>
        <source>ZEB 2000 looked for ICQ&apos;s settings in %1/user.reg. The WINEPREFIX environment variable chooses the Wine prefix (without it, ~/.wine): start ZEB 2000 with the same WINEPREFIX as ICQ.</source>
        <translation>ZEB 2000 искал настройки ICQ в %1/user.reg. Префикс Wine задаёт переменная окружения WINEPREFIX (без неё ~/.wine): запустите ZEB 2000 с тем же WINEPREFIX, что и ICQ.</translation>
    </message>
    <message>
        <source>Try using the &apos;%1&apos; button.</source>
        <translation>Попробуйте кнопку «%1».</translation>
    </message>
    <message>
        <source>%1 is empty.</source>
        <translation>Поле «%1» пустое.</translation>
    </message>
    <message>
        <source>%1 must be a full path.</source>
        <translation>В поле «%1» нужен полный путь.</translation>
    </message>
    <message>
        <source>%1 holds a NUL character.</source>
        <translation>Поле «%1» содержит символ NUL.</translation>
    </message>
    <message>
        <source>%1 cannot be the root folder. Choose a folder below it.</source>
        <translation>В поле «%1» не может быть корневая папка. Выберите папку внутри неё.</translation>
    </message>
    <message>
        <source>ICQ location</source>
        <translation>Папка ICQ</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>Backup location</source>
        <translation>Папка копий</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Обзор</translation>
    </message>
    <message>
        <source>ICQ location is incorrect. Try using the &apos;Find&apos; button.</source>
        <translation>Папка ICQ указана неверно. Попробуйте кнопку «Найти».</translation>
    </message>
    <message>
        <source>No backup set is chosen. Choose the set to restore from beside the &apos;Browse&apos; button.</source>
        <translation>Набор не выбран. Выберите набор для восстановления рядом с кнопкой «Обзор».</translation>
    </message>
    <message>
        <source>ICQ appears to be running right now. If you continue,<byte value="xd"/>
files may not be properly backed up or restored.</source>
        <translation>Похоже, ICQ сейчас запущена. Если продолжить,<byte value="xd"/>
файлы могут быть сохранены или восстановлены неправильно.</translation>
    </message>
    <message>
        <source>Do you wish to continue (not recommended) ?</source>
        <translation>Продолжить (не рекомендуется) ?</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Do you wish to continue?</source>
        <translation>Продолжить?</translation>
    </message>
    <message>
        <source>Not enough space!</source>
        <translation>Недостаточно места!</translation>
    </message>
    <message>
        <source>The folder %1 does not exist, nor the folder above it; the disk it is on may not be mounted.</source>
        <translation>Нет ни папки %1, ни папки над ней; возможно, диск не подключён.</translation>
    </message>
    <message>
        <source>Do you wish to create the whole path?</source>
        <translation>Создать весь путь?</translation>
    </message>
    <message>
        <source>Checking the backup  ...</source>
        <translation>Проверка копии  ...</translation>
    </message>
    <message>
        <source>Overall Progress</source>
        <translation>Общий ход</translation>
    </message>
    <message>
        <source>The backup in %1 cannot be checked: its manifest names an %2, so a later version of ZEB 2000 made it.</source>
        <translation>Копию в %1 нельзя проверить: её манифест называет %2, значит, её создала более новая версия ZEB 2000.</translation>
    </message>
    <message>
        <source>The backup in %1 has no manifest, so its files cannot be checked: the backup that made it did not finish, or an earlier version made it.</source>
        <translation>У копии в %1 нет манифеста, поэтому её файлы нельзя проверить: копирование не завершилось или её создала более старая версия.</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>и ещё %1</translation>
    </message>
    <message>
        <source>The backup in %1 does not match its manifest:</source>
        <translation>Копия в %1 не совпадает со своим манифестом:</translation>
    </message>
    <message>
        <source>Check backup</source>
        <translation>Проверка копии</translation>
    </message>
    <message>
        <source>These files could not be copied:</source>
        <translation>Эти файлы не удалось скопировать:</translation>
    </message>
    <message>
        <source>Error Copying File or Folder</source>
        <translation>Ошибка копирования</translation>
    </message>
    <message>
        <source>The folder %1 could not be created.</source>
        <translation>Не удалось создать папку %1.</translation>
    </message>
    <message>
        <source>No complete dated backup set in %1 holds %2.</source>
        <translation>Ни один полный набор с датой в %1 не содержит %2.</translation>
    </message>
    <message>
        <source>Current component: %1  ...</source>
        <translation>Компонент: %1  ...</translation>
    </message>
    <message>
        <source>The end of the run (the manifest or the undo set)</source>
        <translation>Завершение (манифест или набор отмены)</translation>
    </message>
    <message>
        <source>The dated backup set: %1</source>
        <translation>Набор с датой: %1</translation>
    </message>
    <message>
        <source>Finished!</source>
        <translation>Готово!</translation>
    </message>
    <message>
        <source>The task was completed successfully!</source>
        <translation>Задача успешно выполнена!</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Информация</translation>
    </message>
    <message>
        <source>One or more errors occured!</source>
        <translation>Произошли ошибки!</translation>
    </message>
    <message>
        <source>The following component(s) could not be processed:</source>
        <translation>Не удалось обработать компоненты:</translation>
    </message>
    <message>
        <source>The operation failed.</source>
        <translation>Операция не удалась.</translation>
    </message>
    <message>
        <source>Do you wish to put back the files the last restore into %1 replaced, and take away those it added?</source>
        <translation>Вернуть файлы, которые последнее восстановление в %1 заменило, и убрать те, что оно добавило?</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Left in place:</source>
        <translation>Оставлено на месте:</translation>
    </message>
    <message>
        <source>There is no restore to undo in %1.</source>
        <translation>В %1 нет восстановления, которое можно отменить.</translation>
    </message>
    <message>
        <source>These files were changed since the restore:</source>
        <translation>Эти файлы изменились после восстановления:</translation>
    </message>
    <message>
        <source>Nothing was put back.</source>
        <translation>Ничего не возвращено.</translation>
    </message>
    <message>
        <source>These could not be put back:</source>
        <translation>Не удалось вернуть:</translation>
    </message>
    <message>
        <source>The undo stopped; %1 stays. Undo the last restore again to finish.</source>
        <translation>Отмена остановлена; %1 остаётся. Чтобы закончить, отмените последнее восстановление ещё раз.</translation>
    </message>
    <message>
        <source>Put back what the restore of %1 replaced.</source>
        <translation>Возвращено то, что заменило восстановление %1.</translation>
    </message>
    <message>
        <source>No UINs were found!</source>
        <translation>UIN не найдены!</translation>
    </message>
    <message>
        <source>The weekly backup could not be changed:</source>
        <translation>Не удалось изменить еженедельное копирование:</translation>
    </message>
    <message>
        <source>Weekly backup to %1: %2.</source>
        <translation>Еженедельная копия в %1: %2.</translation>
    </message>
    <message>
        <source>&amp;Next &gt;&gt;</source>
        <translation>&amp;Далее &gt;&gt;</translation>
    </message>
    <message>
        <source>&amp;Do It !</source>
        <translation>&amp;Пуск !</translation>
    </message>
    <message>
        <source>Please press PRINT-SCREEN and go to MSPaint, and press CTRL-V, save the file, ZIP IT, and email it to %1</source>
        <translation>Нажмите PRINT SCREEN, откройте MSPaint, нажмите CTRL-V, сохраните файл, ЗААРХИВИРУЙТЕ ЕГО и отправьте на %1</translation>
    </message>
    <message>
        <source>ICQ location is incorrect. Try using the &quot;Find&quot; button.</source>
        <translation>Папка ICQ указана неверно. Попробуйте кнопку «Найти».</translation>
    </message>
    <message>
        <source>At least one component and one UIN must be selected to proceed with !</source>
        <translation>Чтобы продолжить, выберите хотя бы один компонент и один UIN !</translation>
    </message>
    <message>
        <source>So far so good ! This is just a test version, so it isn&apos;t yet coded to do what its supposed to !</source>
        <translation>Пока всё хорошо ! Это лишь тестовая версия, она ещё не умеет того, что должна !</translation>
    </message>
    <message>
        <source>Error!</source>
        <translation>Ошибка!</translation>
    </message>
    <message>
        <source>Program is busy, are you sure you wish to interrupt and exit?</source>
        <translation>Программа занята. Прервать работу и выйти?</translation>
    </message>
    <message>
        <source>Program is busy!</source>
        <translation>Программа занята!</translation>
    </message>
    <message>
        <source>You are about to use a BETA version of ZEB 2000 V2.0 that is still <byte value="xd"/>
in a testing phase, and may not function correctly, if at all.<byte value="xd"/>
<byte value="xd"/>
You are advised to continue at your own risk.</source>
        <translation>Вы собираетесь использовать БЕТА-версию ZEB 2000 V2.0, которая ещё <byte value="xd"/>
тестируется и может работать неправильно или не работать вовсе.<byte value="xd"/>
<byte value="xd"/>
Продолжайте на свой страх и риск.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Select Task</source>
        <translation>Выбор задачи</translation>
    </message>
    <message>
        <source>Welcome to ZEB 2000 Version 2.0 - the simplest and fastest way to backup and restore your ICQ settings !</source>
        <translation>Добро пожаловать в ZEB 2000 версии 2.0 - самый простой и быстрый способ сохранить настройки ICQ !</translation>
    </message>
    <message>
        <source>Choose a task to perform:</source>
        <translation>Выберите задачу:</translation>
    </message>
    <message>
        <source>Choose this to backup your existing ICQ contact list, and other settings. Backup regularly, eg. once a week, to avoid losing new data.</source>
        <translation>Сохраняет список контактов ICQ и другие настройки. Делайте копию регулярно, напр. раз в неделю, чтобы не потерять новые данные.</translation>
    </message>
    <message>
        <source>Choose this to restore a previously backed up copy of your ICQ contact list, and/or other settings.</source>
        <translation>Восстанавливает ранее сохранённую копию списка контактов ICQ и/или других настроек.</translation>
    </message>
    <message>
        <source>Ba&amp;ckup</source>
        <translation>&amp;Сохранение</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Восстановление</translation>
    </message>
    <message>
        <source>Undo the &amp;last restore</source>
        <translation>О&amp;тменить восстановление</translation>
    </message>
    <message>
        <source>Choose this to put back what the last restore replaced.</source>
        <translation>Возвращает то, что заменило последнее восстановление.</translation>
    </message>
    <message>
        <source>Folder Locations</source>
        <translation>Папки</translation>
    </message>
    <message>
        <source>This is where you specify your ICQ installation path, and the backup location.</source>
        <translation>Здесь указываются путь установки ICQ и папка резервных копий.</translation>
    </message>
    <message>
        <source>ICQ Installation &amp;Path: This is where your ICQ is installed. If you&apos;re not sure, then click &quot;Find&quot; and continue.</source>
        <translation>&amp;Путь установки ICQ: здесь установлена ваша ICQ. Если не уверены, нажмите «Найти» и продолжайте.</translation>
    </message>
    <message>
        <source>Backup &amp;Location: This is where your backup files are, or will be stored, for later restoration.</source>
        <translation>Папка &amp;копий: здесь хранятся или будут храниться ваши резервные копии для последующего восстановления.</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>На&amp;йти</translation>
    </message>
    <message>
        <source>B&amp;rowse</source>
        <translation>Об&amp;зор</translation>
    </message>
    <message>
        <source>Bro&amp;wse</source>
        <translation>Обзо&amp;р</translation>
    </message>
    <message>
        <source>Backup set to restore</source>
        <translation>Набор для восстановления</translation>
    </message>
    <message>
        <source>Task Options</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>You can choose what components you wish to backup/restore. Multiple selections allowed. Select all, if not sure !</source>
        <translation>Выберите компоненты для копии/восстановления. Можно выбрать несколько. Не уверены — выберите все !</translation>
    </message>
    <message>
        <source>Component(s):</source>
        <translation>Компоненты:</translation>
    </message>
    <message>
        <source>UIN(s):</source>
        <translation>UIN:</translation>
    </message>
    <message>
        <source>Re&amp;fresh</source>
        <translation>Обно&amp;вить</translation>
    </message>
    <message>
        <source>&amp;Invert</source>
        <translation>&amp;Инвертировать</translation>
    </message>
    <message>
        <source>Se&amp;lect All</source>
        <translation>Выб&amp;рать все</translation>
    </message>
    <message>
        <source>Refres&amp;h</source>
        <translation>Обнови&amp;ть</translation>
    </message>
    <message>
        <source>Inver&amp;t</source>
        <translation>Инв&amp;ертировать</translation>
    </message>
    <message>
        <source>Sele&amp;ct All</source>
        <translation>Выбрать в&amp;се</translation>
    </message>
    <message>
        <source>Ready!</source>
        <translation>Всё готово!</translation>
    </message>
    <message>
        <source>Enough information has been acquired to proceed with the selected task. You can use the back and next buttons to make any changes, or perform the task right now using the &quot;Do it!&quot; button!</source>
        <translation>Сведений достаточно для выполнения задачи. Кнопками «Назад» и «Далее» можно что-то изменить, или выполните задачу прямо сейчас кнопкой «Пуск!»!</translation>
    </message>
    <message>
        <source>Overall Progress:</source>
        <translation>Общий ход:</translation>
    </message>
    <message>
        <source>&amp;Overwrite existing files without prompting (caution!)</source>
        <translation>&amp;Заменять файлы без вопросов (осторожно!)</translation>
    </message>
    <message>
        <source>&amp;Exit ZEB 2000 after successful task completion</source>
        <translation>&amp;Выйти из ZEB 2000 после успешного выполнения</translation>
    </message>
    <message>
        <source>&amp;Verify copies</source>
        <translation>&amp;Проверять копии</translation>
    </message>
    <message>
        <source>Chec&amp;k the backup before restoring</source>
        <translation>Проверить &amp;копию перед восстановлением</translation>
    </message>
    <message>
        <source>Back up &amp;weekly to this folder</source>
        <translation>&amp;Еженедельно сохранять в эту папку</translation>
    </message>
    <message>
        <source>&amp;Keep earlier backups (a dated set each time)</source>
        <translation>&amp;Хранить прежние копии (по датам)</translation>
    </message>
    <message>
        <source>Number of earlier backups kept</source>
        <translation>Сколько копий хранить</translation>
    </message>
    <message>
        <source>&amp;About ZEB 2000 ...</source>
        <translation>&amp;О ZEB 2000 ...</translation>
    </message>
    <message>
        <source>Check for &amp;upgrade ...</source>
        <translation>О&amp;бновления ...</translation>
    </message>
    <message>
        <source>About ZEB 2000</source>
        <translation>О программе ZEB 2000</translation>
    </message>
    <message>
        <source>This is a BETA version, meant for testing purposes only. It is NOT COMPLETE YET. If you want a proper working copy, please download version 1.1 SR-1 from the homepage! Please report any bugs to %1, indicating the build you are using. Also, check for upgrades regularly!</source>
        <translation>Это БЕТА-версия, только для тестирования. Она ЕЩЁ НЕ ГОТОВА. Если нужна рабочая версия, скачайте версию 1.1 SR-1 с домашней страницы! Об ошибках пишите на %1, указав номер сборки. И регулярно проверяйте обновления!</translation>
    </message>
    <message>
        <source>Double click anywhere in this frame to continue !</source>
        <translation>Дважды щёлкните в этой рамке, чтобы продолжить !</translation>
    </message>
    <message>
        <source>&amp;Debug</source>
        <translation>От&amp;ладка</translation>
    </message>
    <message>
        <source>&lt;&lt; &amp;Back</source>
        <translation>&lt;&lt; &amp;Назад</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Backs up and restores ICQ&apos;s data in a window; see zeb2000-cli for the same without one.</source>
        <translation>Сохраняет и восстанавливает данные ICQ в окне; то же без окна делает zeb2000-cli.</translation>
    </message>
</context>
</TS>
