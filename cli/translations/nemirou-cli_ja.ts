<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CliText</name>
    <message>
        <location filename="../main.cpp" line="59"/>
        <source>%1 steps...</source>
        <translation>%1 ステップ実行中...</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="134"/>
        <source>no journal in %1</source>
        <translation>%1 にジャーナルがありません</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="91"/>
        <source>cannot read the journal %1: %2</source>
        <translation>ジャーナル %1 を読めません: %2</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="87"/>
        <source>no run to undo in %1</source>
        <translation>%1 に取り消せる実行がありません</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="94"/>
        <source>the journal %1 was undone already</source>
        <translation>ジャーナル %1 は既に取り消し済みです</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="101"/>
        <source>Undo preview: %1 to restore, %2 left alone. Nothing was changed; add --apply to undo.</source>
        <translation>取り消しのプレビュー: 元に戻す %1 件、そのまま %2 件。何も変更していません。取り消すには --apply を付けてください。</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="111"/>
        <source>a run of %1 is under way; undo it when the run has ended</source>
        <translation>%1 の実行が進行中です。実行が終わってから取り消してください</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="121"/>
        <source>%1 restored, %2 left alone.</source>
        <translation>元に戻した数 %1、そのままの数 %2。</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="139"/>
        <source>window</source>
        <translation>ウィンドウ</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="140"/>
        <source>command line</source>
        <translation>コマンドライン</translation>
    </message>
    <message numerus="yes">
        <location filename="../main.cpp" line="141"/>
        <source>%n step(s)</source>
        <translation>
            <numerusform>%n ステップ</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../main.cpp" line="142"/>
        <source>undone</source>
        <translation>取り消し済み</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="142"/>
        <source>not undone</source>
        <translation>未取り消し</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="153"/>
        <source>no such folder: %1</source>
        <translation>フォルダがありません: %1</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="158"/>
        <source>cannot read the folder %1: %2</source>
        <translation>フォルダ %1 を読めません: %2</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="168"/>
        <source>Preview: %1 to rename, %2 skipped, %3 examined. Nothing was changed; add --apply to rename.</source>
        <translation>プレビュー: 変更予定 %1 件、スキップ %2 件、調べた数 %3。何も変更していません。変更するには --apply を付けてください。</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="176"/>
        <source>%1 renamed, %2 skipped, %3 examined.</source>
        <translation>変更した数 %1、スキップ %2、調べた数 %3。</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="164"/>
        <source>cannot write the journal: %1</source>
        <translation>ジャーナルを書けません: %1</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="181"/>
        <source>Journal: %1 (undo with --undo)</source>
        <translation>ジャーナル: %1（--undo で取り消せます）</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="88"/>
        <source>Renames files (or folders) in bulk by replacing one part of their names. Without --apply nothing on disk changes: the steps the run would take are listed.</source>
        <translation>ファイル（またはフォルダ）の名前の一部を置き換えて一括で名前を変更します。--apply がなければディスク上は何も変わらず、実行される手順を一覧にします。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="48"/>
        <source>Match the part at the head of each name.</source>
        <translation>名前の先頭で一致させます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="38"/>
        <source>Run nemirou-cli --help for the options.</source>
        <translation>オプションは nemirou-cli --help で表示します。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="44"/>
        <source>Show this help.</source>
        <translation>このヘルプを表示します。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="46"/>
        <source>Show the version.</source>
        <translation>バージョンを表示します。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="51"/>
        <source>Match the part at the tail of each name.</source>
        <translation>名前の末尾で一致させます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="54"/>
        <source>The part of the name to change.</source>
        <translation>名前の変更部分。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="55"/>
        <location filename="../CliSettings.cpp" line="57"/>
        <source>TEXT</source>
        <translation>文字列</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="56"/>
        <source>What the part becomes.</source>
        <translation>変更後の文字列。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="59"/>
        <source>On a match, replace the whole name.</source>
        <translation>一致したら名前全体を置き換えます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="61"/>
        <source>Convert names to half-width characters (head runs only).</source>
        <translation>名前を半角に変換します（先頭のみ）。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="64"/>
        <source>Rename folders instead of files.</source>
        <translation>ファイルの代わりにフォルダの名前を変更します。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="67"/>
        <source>Descend into subfolders.</source>
        <translation>サブフォルダも対象にします。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="69"/>
        <source>Rename (or undo) for real.</source>
        <translation>実際に変更（または取り消し）します。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="71"/>
        <source>Write one JSON object on stdout.</source>
        <translation>標準出力に JSON オブジェクトを一つ書きます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="74"/>
        <source>Undo the newest run, or the one whose journal is named.</source>
        <translation>最新の実行、または指定したジャーナルの実行を取り消します。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="77"/>
        <source>List the journals of earlier runs, the window&apos;s and the command line&apos;s.</source>
        <translation>これまでの実行（ウィンドウとコマンドライン）のジャーナルを一覧にします。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="92"/>
        <source>The folder to rename in.</source>
        <translation>対象のフォルダ。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="92"/>
        <source>FOLDER</source>
        <translation>フォルダ</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="93"/>
        <source>JOURNAL</source>
        <translation>ジャーナル</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="94"/>
        <source>With --undo: the journal of the run to undo (the newest without it).</source>
        <translation>--undo で取り消す実行のジャーナル（省略すると最新の実行）。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="117"/>
        <source>--undo takes no rename options (--%1).</source>
        <translation>--undo には変更のオプションを付けられません（--%1）。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="123"/>
        <source>--undo takes at most one journal.</source>
        <translation>--undo に指定できるジャーナルは一つだけです。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="131"/>
        <source>Give exactly one of --head and --tail.</source>
        <translation>--head と --tail のどちらか一つを指定してください。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="135"/>
        <source>Give both --from and --to (an empty text is allowed).</source>
        <translation>--from と --to を両方指定してください（空の文字列も可）。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="139"/>
        <source>--narrow works in head runs only.</source>
        <translation>--narrow は --head の実行でのみ使えます。</translation>
    </message>
    <message>
        <location filename="../CliSettings.cpp" line="143"/>
        <source>Give exactly one FOLDER.</source>
        <translation>フォルダを一つだけ指定してください。</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="111"/>
        <source>this volume&apos;s driver loses the contents of a folder it renames</source>
        <translation>このボリュームのドライバは、名前を変えたフォルダの中身を失います</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="115"/>
        <source>another file or folder has this name since the run</source>
        <translation>実行の後、別のファイルかフォルダがこの名前になっています</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="117"/>
        <source>not a single valid name</source>
        <translation>一つの有効な名前ではありません</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="121"/>
        <source>this volume cannot hold the character %1 in a name</source>
        <translation>このボリュームは名前に文字 %1 を使えません</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="122"/>
        <source>this volume cannot hold a name that ends in a dot or a blank</source>
        <translation>このボリュームは末尾がドットか空白の名前を使えません</translation>
    </message>
    <message>
        <location filename="../CliHelp.cpp" line="94"/>
        <source>Usage:</source>
        <translation>使い方:</translation>
    </message>
    <message>
        <location filename="../CliHelp.cpp" line="96"/>
        <source>(--head | --tail) --from TEXT --to TEXT [options] FOLDER</source>
        <translation>(--head | --tail) --from 文字列 --to 文字列 [オプション] フォルダ</translation>
    </message>
    <message>
        <location filename="../CliHelp.cpp" line="98"/>
        <source>--undo [--apply] [--json] [JOURNAL]</source>
        <translation>--undo [--apply] [--json] [ジャーナル]</translation>
    </message>
    <message>
        <location filename="../CliHelp.cpp" line="120"/>
        <source>Options:</source>
        <translation>オプション:</translation>
    </message>
    <message>
        <location filename="../CliHelp.cpp" line="121"/>
        <source>Arguments:</source>
        <translation>引数:</translation>
    </message>
</context>
</TS>
