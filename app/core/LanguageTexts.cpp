#include "app/core/LanguageTexts.h"

#include <cstdint>
#include <cwchar>
#include <memory>

namespace {

// Column order of every row: English, Japanese, Chinese, Dutch, German, Spanish.
// Dialog resources hold the English texts; an empty text leaves the resource's own.
// "\n" is a line break in a two-line static, "&&" one ampersand, "(&X)" a menu accelerator.
const LanguageRow kRows[] = {
    {1, {L"OK", L"", L"", L"", L"", L""}},
    {2, {L"Cancel", L"キャンセル", L"取消", L"Annuleer", L"Stornieren", L"Cancelar"}},
    {133, {L"About Tessora", L"Tessoraについて", L"关于Tessora", L"Over Tessora", L"Über Tessora",
           L"Acerca de Tessora"}},
    {137, {L"Option (Tessora)", L"オプション (Tessora)", L"选项 (Tessora)", L"Opties (Tessora)",
           L"Optionen (Tessora)", L"Opciones (Tessora)"}},
    {210, {L"Using overlapping windows", L"ウィンドウを重ねて配置する", L"使用重叠窗口",
           L"Overlappende vensters gebruiken", L"Überlappende Fenster verwenden",
           L"Usar ventanas superpuestas"}},
    {213, {L"Launch Tessora on startup", L"システム起動時にTessoraを起動する", L"开机时启动Tessora",
           L"Tessora starten bij het opstarten", L"Tessora beim Systemstart ausführen",
           L"Iniciar Tessora al arrancar el sistema"}},
    {221, {L"Check for Tessora Updates", L"Tessoraの更新を確認", L"检查Tessora更新",
           L"Controleren op updates voor Tessora", L"Nach Tessora-Updates suchen",
           L"Buscar actualizaciones de Tessora"}},
    {228, {L"Language:", L"言語：", L"语言：", L"Taal:", L"Sprache:", L"Idioma:"}},
    {230, {L"Tessora Add User define", L"Tessora ユーザー定義の追加", L"Tessora 添加用户定义",
           L"Tessora Gebruikersdefinitie toevoegen", L"Tessora Benutzerdefinition hinzufügen",
           L"Tessora Agregar definición de usuario"}},
    {231, {L"Tessora Edit User define", L"Tessora ユーザー定義の編集", L"Tessora 编辑用户定义",
           L"Tessora Gebruikersdefinitie bewerken", L"Tessora Benutzerdefinition bearbeiten",
           L"Tessora Editar definición de usuario"}},
    {247, {L"Add/Delete the window title by the specified region",
           L"指定した領域のウィンドウタイトルの追加/削除", L"按指定区域添加/删除窗口标题",
           L"Venstertitels voor het opgegeven gebied toevoegen/verwijderen",
           L"Fenstertitel für den angegebenen Bereich hinzufügen/löschen",
           L"Agregar/eliminar títulos de ventana de la región especificada"}},
    // Grid captions: the layout's name, then its hotkey on a second line.
    {1128, {L"1 Screen \n( Alt+1+1 )", L"全画面 \n( Alt+1+1 )", L"全屏 \n( Alt+1+1 )",
            L"1 scherm \n(Alt + 1 + 1)", L"1 Bildschirm\n(Alt + 1 + 1)", L"1 pantalla \n(Alt + 1 + 1)"}},
    {1129, {L"2 Screen \n( Alt+1+2 )", L"2分割 \n( Alt+1+2 )", L"2分屏 \n( Alt+1+2 )",
            L"2 schermen \n(Alt + 1 + 2)", L"2 Bildschirme\n(Alt + 1 + 2)",
            L"2 pantallas \n(Alt + 1 + 2)"}},
    {1130, {L"2 Screen \n( Alt+2+1 )", L"2分割 \n( Alt+2+1 )", L"2分屏 \n( Alt+2+1 )",
            L"2 schermen \n(Alt + 2 + 1)", L"2 Bildschirme\n(Alt + 2 + 1)",
            L"2 pantallas \n(Alt + 2 + 1)"}},
    {1132, {L"4 Screen \n( Alt+2+2 )", L"4分割 \n( Alt+2+2 )", L"4分屏 \n( Alt+2+2 )",
            L"4 schermen \n(Alt + 2 + 2)", L"4 Bildschirme\n(Alt + 2 + 2)",
            L"4 pantallas \n(Alt + 2 + 2)"}},
    {1134, {L"3 Screen \n( Alt+1+3 )", L"3分割 \n( Alt+1+3 )", L"3分屏 \n( Alt+1+3 )",
            L"3 schermen \n(Alt + 1 + 3)", L"3 Bildschirme\n(Alt + 1 + 3)",
            L"3 pantallas \n(Alt + 1 + 3)"}},
    {1135, {L"Check Now...", L"今すぐ確認...", L"立即检查...", L"Nu controleren...", L"Jetzt prüfen...",
            L"Comprobar ahora..."}},
    {1136, {L"3 Screen \n( Alt+3+1 )", L"3分割 \n( Alt+3+1 )", L"3分屏 \n( Alt+3+1 )",
            L"3 schermen \n(Alt + 3 + 1)", L"3 Bildschirme\n(Alt + 3 + 1)",
            L"3 pantallas \n(Alt + 3 + 1)"}},
    {1137, {L"Automatically update on Startup", L"起動時に自動的に更新する", L"启动时自动更新",
            L"Automatisch bijwerken bij het opstarten", L"Beim Start automatisch aktualisieren",
            L"Actualizar automáticamente al iniciar"}},
    {1139, {L"OK", L"OK", L"确定", L"OK", L"OK", L"Aceptar"}},
    {1140, {L"Cancel", L"キャンセル", L"取消", L"Annuleer", L"Stornieren", L"Cancelar"}},
    {1141, {L"Free Screen \n( Alt+N+1 )", L"自由分割 \n( Alt+N+1 )", L"自由分屏 \n( Alt+N+1 )",
            L"Vrije indeling \n(Alt + N + 1)", L"Freie Teilung\n(Alt + N + 1)",
            L"División libre \n(Alt + N + 1)"}},
    {1142, {L"Free Screen \n( Alt+1+N )", L"自由分割 \n( Alt+1+N )", L"自由分屏 \n( Alt+1+N )",
            L"Vrije indeling \n(Alt + 1 + N)", L"Freie Teilung\n(Alt + 1 + N)",
            L"División libre \n(Alt + 1 + N)"}},
    {1144, {L"Free Screen \n( Alt+N+N )", L"自由分割 \n( Alt+N+N )", L"自由分屏 \n( Alt+N+N )",
            L"Vrije indeling \n(Alt + N + N)", L"Freie Teilung\n(Alt + N + N)",
            L"División libre \n(Alt + N + N)"}},
    {1146, {L"If you want to download new version. \nPlease click the \"Download new version\" button "
            L"will jump to official download website.",
            L"新しいバージョンをダウンロードする場合は、\n「新しいバージョンをダウンロード」ボタンを"
            L"クリックすると公式ダウンロードサイトへ移動します。",
            L"如需下载新版本，\n请点击“下载新版本”按钮，将跳转到官方下载网站。",
            L"Wilt u de nieuwe versie downloaden? \nKlik op de knop \"Nieuwe versie downloaden\" om "
            L"naar de officiële downloadsite te gaan.",
            L"Möchten Sie die neue Version herunterladen? \nKlicken Sie auf \"Neue Version "
            L"herunterladen\", um zur offiziellen Download-Website zu gelangen.",
            L"¿Desea descargar la nueva versión? \nHaga clic en el botón \"Descargar nueva versión\" "
            L"para ir al sitio oficial de descargas."}},
    {1147, {L"Download new version", L"新しいバージョンをダウンロード", L"下载新版本",
            L"Nieuwe versie downloaden", L"Neue Version herunterladen", L"Descargar nueva versión"}},
    {1148, {L"A new version of Tessora is available:", L"Tessoraの新しいバージョンがあります：",
            L"Tessora有新版本可用：", L"Er is een nieuwe versie van Tessora beschikbaar:",
            L"Eine neue Version von Tessora ist verfügbar:",
            L"Hay una nueva versión de Tessora disponible:"}},
    {1150, {L"Current Version:", L"現在のバージョン：", L"当前版本：", L"Huidige versie:",
            L"Aktuelle Version:", L"Versión actual:"}},
    {1154, {L"New Version:", L"新しいバージョン：", L"新版本：", L"Nieuwe versie:", L"Neue Version:",
            L"Nueva versión:"}},
    {1161, {L"Hotkey:", L"ホットキー：", L"快捷键：", L"Sneltoets:", L"Tastenkürzel:",
            L"Tecla rápida:"}},
    {1163, {L"User Define", L"ユーザー定義", L"用户定义", L"Gebruikersdefinitie", L"Benutzerdefiniert",
            L"Definido por el usuario"}},
    {1164, {L"Screen Option", L"画面オプション", L"屏幕选项", L"Schermoptie", L"Bildschirmoption",
            L"Opción de pantalla"}},
    {1168, {L"Screen:", L"画面：", L"屏幕：", L"Scherm:", L"Bildschirm:", L"Pantalla:"}},
    {1170, {L"Add", L"追加", L"添加", L"Toevoegen", L"Hinzufügen", L"Agregar"}},
    {1171, {L"Screen:", L"画面：", L"屏幕：", L"Scherm:", L"Bildschirm:", L"Pantalla:"}},
    {1172, {L"Edit", L"編集", L"编辑", L"Bewerken", L"Bearbeiten", L"Editar"}},
    {1173, {L"Type:", L"タイプ：", L"类型：", L"Type:", L"Typ:", L"Tipo:"}},
    {1174, {L"Active", L"有効", L"启用", L"Actief", L"Aktiv", L"Activo"}},
    {1175, {L"Name:", L"名前：", L"名称：", L"Naam:", L"Name:", L"Nombre:"}},
    {1177, {L"Layout", L"レイアウト", L"布局", L"Indeling", L"Layout", L"Diseño"}},
    {1181, {L"Delete", L"削除", L"删除", L"Verwijderen", L"Löschen", L"Eliminar"}},
    {1182, {L"Hotkey:", L"ホットキー：", L"快捷键：", L"Sneltoets:", L"Tastenkürzel:",
            L"Tecla rápida:"}},
    {1197, {L"Add", L"追加", L"添加", L"Toevoegen", L"Hinzufügen", L"Agregar"}},
    // English keeps the resource's "Delete" here.
    {1198, {L"", L"削除", L"删除", L"Verwijderen", L"Löschen", L"Eliminar"}},
    {1200, {L"Browse...", L"参照...", L"浏览...", L"Bladeren...", L"Durchsuchen...", L"Examinar..."}},
    {1201, {L"Restore", L"復元", L"还原", L"Herstellen", L"Wiederherstellen", L"Restaurar"}},
    {1202, {L"Backup", L"バックアップ", L"备份", L"Back-up", L"Sicherung", L"Copia de seguridad"}},
    {1204, {L"Base", L"基本", L"基本", L"Basis", L"Basis", L"Base"}},
    {1205, {L"Backup Rule Data", L"ルールデータをバックアップ", L"备份规则数据",
            L"Regelgegevens back-uppen", L"Regeldaten sichern", L"Respaldar datos de reglas"}},
    {1206, {L"Start Restore Rule Data", L"ルールデータの復元を開始", L"开始还原规则数据",
            L"Herstel van regelgegevens starten", L"Wiederherstellung der Regeldaten starten",
            L"Iniciar restauración de datos de reglas"}},
    {1208, {L" Select hotkeys (ActKey)", L" ホットキーの選択 (ActKey)", L" 选择快捷键 (ActKey)",
            L" Sneltoetsen kiezen (ActKey)", L" Tastenkürzel wählen (ActKey)",
            L" Seleccionar teclas rápidas (ActKey)"}},
    {1213, {L"Add", L"追加", L"添加", L"Toevoegen", L"Hinzufügen", L"Agregar"}},
    {1216, {L"Region ID:", L"領域ID：", L"区域ID：", L"Gebied-ID:", L"Bereichs-ID:", L"ID de región:"}},
    {1218, {L"Get desktop layout", L"デスクトップのレイアウトを取得", L"获取桌面布局",
            L"Bureaubladindeling ophalen", L"Desktop-Layout übernehmen",
            L"Obtener diseño del escritorio"}},
    {1220, {L"Number of window:", L"ウィンドウ数：", L"窗口数量：", L"Aantal vensters:",
            L"Anzahl der Fenster:", L"Número de ventanas:"}},
    {1221, {L"Delete window", L"ウィンドウを削除", L"删除窗口", L"Venster verwijderen",
            L"Fenster löschen", L"Eliminar ventana"}},
    {1223, {L"Title:", L"タイトル：", L"标题：", L"Titel:", L"Titel:", L"Título:"}},
    {1224, {L"OK", L"OK", L"确定", L"OK", L"OK", L"Aceptar"}},
    // English keeps the resource's "Delete" here.
    {1226, {L"", L"削除", L"删除", L"Verwijderen", L"Löschen", L"Eliminar"}},
    // Page buttons of the options window.
    {1238, {L"Split Screen Rule", L"画面分割ルール", L"分屏规则", L"Schermverdeling",
            L"Bildschirmaufteilung", L"Reglas de división"}},
    {1239, {L"User Defined Rule", L"ユーザー定義ルール", L"自定义规则", L"Eigen regels",
            L"Eigene Regeln", L"Reglas personalizadas"}},
    {1240, {L"Exclude", L"除外", L"排除", L"Uitsluiten", L"Ausschließen", L"Excluir"}},
    {1241, {L"Settings", L"設定", L"设置", L"Instellingen", L"Einstellungen", L"Configuración"}},
    {1242, {L"Update", L"アップデート", L"更新", L"Bijwerken", L"Aktualisierung", L"Actualización"}},
    {1243, {L"Backup && Restore", L"バックアップ && 復元", L"备份 && 还原", L"Back-up && herstel",
            L"Sichern && Wiederherstellen", L"Respaldo && restauración"}},
    // Tray menu.
    {32777, {L"Exit", L"終了", L"退出", L"Afsluiten", L"Beenden", L"Salir"}},
    {32778, {L"Option(&O)", L"オプション(&O)", L"选项(&O)", L"Optie (& O)", L"Option (&O)",
             L"Opción (& O)"}},
    {32779, {L"Hide(&H)", L"非表示(&H)", L"隐藏(&H)", L"Verbergen (&H)", L"Ausblenden (&H)",
             L"Ocultar (&H)"}},
    {57664, {L"About(&A)", L"バージョン情報(&A)", L"关于(&A)", L"Over (&A)", L"Über (&A)",
             L"Acerca de (&A)"}},
    // Message box texts.
    {80000, {L"Are you sure you want to delete this items?", L"選択した項目を削除してもよろしいですか？",
             L"确定要删除这些项目吗？", L"Weet u zeker dat u deze items wilt verwijderen?",
             L"Möchten Sie diese Einträge wirklich löschen?",
             L"¿Está seguro de que desea eliminar estos elementos?"}},
    {80001, {L"Please enter the title name of the excluded window.",
             L"除外するウィンドウのタイトルを入力してください。", L"请输入要排除的窗口标题。",
             L"Voer de titel van het uit te sluiten venster in.",
             L"Bitte geben Sie den Titel des auszuschließenden Fensters ein.",
             L"Introduzca el título de la ventana que desea excluir."}},
    {80002, {L"Please input the name of type.", L"タイプ名を入力してください。", L"请输入类型名称。",
             L"Voer de naam van het type in.", L"Bitte geben Sie den Namen des Typs ein.",
             L"Introduzca el nombre del tipo."}},
    {80003, {L"Are you sure you want to save the user define?",
             L"ユーザー定義を保存してもよろしいですか？", L"确定要保存用户定义吗？",
             L"Weet u zeker dat u de gebruikersdefinitie wilt opslaan?",
             L"Möchten Sie die Benutzerdefinition wirklich speichern?",
             L"¿Está seguro de que desea guardar la definición de usuario?"}},
    {80004, {L"Are you sure you want to delete the user define?",
             L"ユーザー定義を削除してもよろしいですか？", L"确定要删除用户定义吗？",
             L"Weet u zeker dat u de gebruikersdefinitie wilt verwijderen?",
             L"Möchten Sie die Benutzerdefinition wirklich löschen?",
             L"¿Está seguro de que desea eliminar la definición de usuario?"}},
    {80005, {L"Files saved successfully.", L"保存に完了しました。", L"保存文件成功.",
             L"Bestanden succesvol opgeslagen.", L"Dateien erfolgreich gespeichert.",
             L"Archivos guardados con éxito."}},
    {80006, {L"Save file failed!", L"ファイルの保存に失敗しました！", L"保存文件失败！",
             L"Opslaan van bestand mislukt!", L"Speichern der Datei fehlgeschlagen!",
             L"¡Error al guardar el archivo!"}},
    {80007, {L"Wrong file selected.", L"選択されたファイルが正しくありません。", L"选择的文件不正确。",
             L"Verkeerd bestand geselecteerd.", L"Falsche Datei ausgewählt.",
             L"Se ha seleccionado un archivo incorrecto."}},
    {80008, {L"Restore completed.", L"復元が完了しました。", L"还原完成。", L"Herstel voltooid.",
             L"Wiederherstellung abgeschlossen.", L"Restauración completada."}},
    {80009, {L"Are you sure you want to restore file?", L"ファイルを復元してもよろしいですか？",
             L"确定要还原文件吗？", L"Weet u zeker dat u het bestand wilt herstellen?",
             L"Möchten Sie die Datei wirklich wiederherstellen?",
             L"¿Está seguro de que desea restaurar el archivo?"}},
    {80010, {L"Please input the window title by the specified region.",
             L"指定した領域のウィンドウタイトルを入力してください。", L"请输入指定区域的窗口标题。",
             L"Voer de venstertitel voor het opgegeven gebied in.",
             L"Bitte geben Sie den Fenstertitel für den angegebenen Bereich ein.",
             L"Introduzca el título de la ventana para la región especificada."}},
    // Caption of message boxes and list column headers.
    {87000, {L"Information", L"情報", L"信息", L"Informatie", L"Information", L"Información"}},
    {87001, {L"U", L"U", L"U", L"U", L"U.", L"U"}},
    {87002, {L"Window title", L"ウィンドウタイトル", L"窗口标题", L"Venstertitel", L"Fenstertitel",
             L"Título de ventana"}},
    {87003, {L"Path", L"パス", L"路径", L"Pad", L"Pfad", L"Ruta"}},
};

constexpr int kRowCount = static_cast<int>(sizeof(kRows) / sizeof(kRows[0]));

// Row numbers are kept in one byte, 0 meaning "no row".
static_assert(kRowCount < 255, "the id index holds row numbers in one byte");

const wchar_t* const kLanguageNames[UILANG_COUNT] = {L"English", L"Japanese",   L"Chinese",
                                                   L"Netherland", L"Germany", L"Spain"};

// id -> row number + 1 for the whole id range: 100 KB for the process, whatever the number of
// table objects and languages. Built on first use and never changed afterwards.
const uint8_t* IdIndex() {
    static const std::unique_ptr<uint8_t[]> index = [] {
        std::unique_ptr<uint8_t[]> built(new uint8_t[LANGUAGE_TABLE_SIZE]());
        for (int r = 0; r < kRowCount; ++r) {
            const int id = kRows[r].id;
            if (id >= 0 && id < LANGUAGE_TABLE_SIZE) built[id] = static_cast<uint8_t>(r + 1);
        }
        return built;
    }();
    return index.get();
}

}  // namespace

const LanguageRow* GetLanguageRows(int* count) {
    if (count) *count = kRowCount;
    return kRows;
}

ELanguage LanguageFromName(const wchar_t* name) {
    if (!name) return UILANG_ENGLISH;
    // The order in which the names are tried is part of the contract; English is the fallback.
    static const ELanguage kOrder[] = {UILANG_JAPANESE, UILANG_CHINESE, UILANG_DUTCH, UILANG_GERMAN,
                                       UILANG_SPANISH};
    for (ELanguage lang : kOrder) {
        if (std::wcscmp(name, kLanguageNames[lang]) == 0) return lang;
    }
    return UILANG_ENGLISH;
}

const wchar_t* LanguageName(ELanguage lang) {
    return (lang >= 0 && lang < UILANG_COUNT) ? kLanguageNames[lang] : L"";
}

const wchar_t* LanguageText(ELanguage lang, int id) {
    if (id < 0 || id >= LANGUAGE_TABLE_SIZE || lang < 0 || lang >= UILANG_COUNT) return L"";
    const int row = IdIndex()[id];
    return row ? kRows[row - 1].text[lang] : L"";
}

CStringArray GetLanguageNames() {
    CStringArray names;
    for (const wchar_t* name : {L"Chinese", L"English", L"Germany", L"Japanese", L"Netherland", L"Spain"})
        names.Add(name);
    return names;
}

CLanguageTexts::CLanguageTexts() {
    // Build the shared index now rather than inside the first lookup of a dialog.
    IdIndex();
}

CString CLanguageTexts::GetText(int id) const {
    return CString(LanguageText(LanguageFromName(m_strLanguageName), id));
}
