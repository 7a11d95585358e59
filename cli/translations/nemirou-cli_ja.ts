<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CliText</name>
    <message>
        <location filename="../main.cpp" line="52"/>
        <source>%1 steps...</source>
        <translation>%1 ステップ実行中...</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="85"/>
        <source>no journal in %1</source>
        <translation>%1 にジャーナルがありません</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="89"/>
        <source>cannot read the journal %1: %2</source>
        <translation>ジャーナル %1 を読めません: %2</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="92"/>
        <source>the journal %1 was undone already</source>
        <translation>ジャーナル %1 は既に取り消し済みです</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="99"/>
        <source>Undo preview: %1 to restore, %2 left alone. Nothing was changed; add --apply to undo.</source>
        <translation>取り消しのプレビュー: 元に戻す %1 件、そのまま %2 件。何も変更していません。取り消すには --apply を付けてください。</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="110"/>
        <source>%1 restored, %2 left alone.</source>
        <translation>元に戻した数 %1、そのままの数 %2。</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="118"/>
        <source>no such folder: %1</source>
        <translation>フォルダがありません: %1</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="127"/>
        <source>Preview: %1 to rename, %2 skipped, %3 examined. Nothing was changed; add --apply to rename.</source>
        <translation>プレビュー: 変更予定 %1 件、スキップ %2 件、調べた数 %3。何も変更していません。変更するには --apply を付けてください。</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="135"/>
        <source>%1 renamed, %2 skipped, %3 examined.</source>
        <translation>変更した数 %1、スキップ %2、調べた数 %3。</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="123"/>
        <source>cannot write the journal: %1</source>
        <translation>ジャーナルを書けません: %1</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="140"/>
        <source>Journal: %1 (undo with --undo)</source>
        <translation>ジャーナル: %1（--undo で取り消せます）</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="36"/>
        <source>Renames files (or folders) in bulk by replacing one part of their names. Without --apply nothing on disk changes: the steps the run would take are listed.</source>
        <translation>ファイル（またはフォルダ）の名前の一部を置き換えて一括で名前を変更します。--apply がなければディスク上は何も変わらず、実行される手順を一覧にします。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="42"/>
        <source>Match the part at the head of each name.</source>
        <translation>名前の先頭で一致させます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="45"/>
        <source>Match the part at the tail of each name.</source>
        <translation>名前の末尾で一致させます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="48"/>
        <source>The part of the name to change.</source>
        <translation>名前の変更部分。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="49"/>
        <location filename="../CliSettings.cpp" line="51"/>
        <source>TEXT</source>
        <translation>文字列</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="50"/>
        <source>What the part becomes.</source>
        <translation>変更後の文字列。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="53"/>
        <source>On a match, replace the whole name.</source>
        <translation>一致したら名前全体を置き換えます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="55"/>
        <source>Convert names to half-width characters (head runs only).</source>
        <translation>名前を半角に変換します（先頭のみ）。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="58"/>
        <source>Rename folders instead of files.</source>
        <translation>ファイルの代わりにフォルダの名前を変更します。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="61"/>
        <source>Descend into subfolders.</source>
        <translation>サブフォルダも対象にします。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="63"/>
        <source>Rename (or undo) for real.</source>
        <translation>実際に変更（または取り消し）します。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="65"/>
        <source>Write one JSON object on stdout.</source>
        <translation>標準出力に JSON オブジェクトを一つ書きます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="68"/>
        <source>Undo the newest run, or the one whose journal is named.</source>
        <translation>最新の実行、または指定したジャーナルの実行を取り消します。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="72"/>
        <source>The folder to rename in.</source>
        <translation>対象のフォルダ。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="96"/>
        <source>--undo takes no rename options (--%1).</source>
        <translation>--undo には変更のオプションを付けられません（--%1）。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="102"/>
        <source>--undo takes at most one journal.</source>
        <translation>--undo に指定できるジャーナルは一つだけです。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="110"/>
        <source>Give exactly one of --head and --tail.</source>
        <translation>--head と --tail のどちらか一つを指定してください。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="114"/>
        <source>Give both --from and --to (an empty text is allowed).</source>
        <translation>--from と --to を両方指定してください（空の文字列も可）。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="118"/>
        <source>--narrow works in head runs only.</source>
        <translation>--narrow は --head の実行でのみ使えます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="122"/>
        <source>Give exactly one FOLDER.</source>
        <translation>フォルダを一つだけ指定してください。</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="85"/>
        <source>another file or folder has this name since the run</source>
        <translation>実行の後、別のファイルかフォルダがこの名前になっています</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="86"/>
        <source>not a single valid name</source>
        <translation>一つの有効な名前ではありません</translation>
    </message>
</context>
</TS>
