<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AudioRecorderPanel</name>
    <message>
        <source>オーディオプレイバック録音</source>
        <translation>RX audio: record</translation>
    </message>
    <message>
        <source>受信音の録音</source>
        <translation>Records the received audio</translation>
    </message>
    <message>
        <source>録音</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>オーディオプレイバック再生</source>
        <translation>RX audio: play</translation>
    </message>
    <message>
        <source>受信音の再生</source>
        <translation>Plays back the recorded received audio</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>オーディオ録音</source>
        <translation>RX audio record</translation>
    </message>
    <message>
        <source>無線機で受信音の録音を始めます。</source>
        <translation>Starts recording the received audio in the radio.</translation>
    </message>
    <message>
        <source>オーディオ録音 STOP</source>
        <translation>RX audio record STOP</translation>
    </message>
    <message>
        <source>受信音の録音を止めます。</source>
        <translation>Stops recording the received audio.</translation>
    </message>
    <message>
        <source>オーディオ再生</source>
        <translation>RX audio play</translation>
    </message>
    <message>
        <source>無線機で録音した受信音を再生します。</source>
        <translation>Plays the received audio recorded in the radio.</translation>
    </message>
    <message>
        <source>オーディオ再生 STOP</source>
        <translation>RX audio play STOP</translation>
    </message>
    <message>
        <source>受信音の再生を止めます。</source>
        <translation>Stops playing the received audio.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>このヘルプを表示して終了します。</source>
        <translation>Displays this help and exits.</translation>
    </message>
    <message>
        <source>Qt のオプションも含めたヘルプを表示して終了します。</source>
        <translation>Displays this help with Qt&apos;s own options and exits.</translation>
    </message>
    <message>
        <source>バージョンを表示して終了します。</source>
        <translation>Displays the version and exits.</translation>
    </message>
    <message>
        <source>シリアルポートの代わりに、内蔵の模擬 FT2000 を相手に動きます。</source>
        <translation>Runs against the built-in simulated FT2000 instead of a serial port.</translation>
    </message>
    <message>
        <source>この設定ファイルを使います。</source>
        <translation>Uses this settings file.</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>file</translation>
    </message>
    <message>
        <source>送ったコマンドと受け取った応答を、時刻を付けてこのファイルに追記します。</source>
        <translation>Appends every command sent and every reply received, with a timestamp, to this file.</translation>
    </message>
    <message>
        <source>表示の言語: ja (日本語) または en (英語)。指定がなければ環境変数 %1 が、それもなければシステムの言語が決めます。</source>
        <translation>The language shown: ja (Japanese) or en (English). Without it, the environment variable %1 decides, else the system&apos;s language.</translation>
    </message>
    <message>
        <source>言語</source>
        <translation>language</translation>
    </message>
    <message>
        <source>FT2000 トランシーバーを CAT のシリアル回線で操作します。</source>
        <translation>Runs an FT2000 transceiver over its CAT serial line.</translation>
    </message>
    <message>
        <source>%1 は RIGDECK の言語ではありません (ja または en)。</source>
        <translation>RIGDECK has no language %1 (ja or en).</translation>
    </message>
    <message>
        <source>使い方: %1 [オプション]</source>
        <translation>Usage: %1 [options]</translation>
    </message>
    <message>
        <source>オプション:</source>
        <translation>Options:</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>RIGDECKＶ１．００</source>
        <translation>RIGDECK V1.00</translation>
    </message>
    <message>
        <source>ボイスメモリー補助機能</source>
        <translation>Break-in, mode and key speed</translation>
    </message>
    <message>
        <source>プレイバック機能</source>
        <translation>Playback</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>プログラムを終了します。</source>
        <translation>Ends the program.</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>ＲＳ２３２Ｃの設定</source>
        <translation>RS-232C Settings...</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>操作手順</source>
        <translation>Operating Instructions</translation>
    </message>
    <message>
        <source>バージョン</source>
        <translation>About RIGDECK</translation>
    </message>
    <message>
        <source>接続の確認を行ってください。</source>
        <translation>Please check the connection.</translation>
    </message>
    <message>
        <source>ＲＳ２３２Ｃのオープンができません。設定および接続を確認してください。</source>
        <translation>Cannot open the RS-232C port. Please check the settings and the connection.</translation>
    </message>
    <message>
        <source>一定時間内にコマンドに対する応答がありません。正しく接続されているか確認してください。</source>
        <translation>No response to the command in time. Please check that the radio is connected correctly.</translation>
    </message>
    <message>
        <source>RIGDECK.html</source>
        <extracomment>The file name of the help document in this language.</extracomment>
        <translation>RIGDECK-en.html</translation>
    </message>
    <message>
        <source>状態表示</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>無線機との回線の状態</source>
        <translation>State of the line to the radio</translation>
    </message>
    <message>
        <source>送れなかったコマンドや記録できなかった設定のお知らせ</source>
        <translation>Commands not sent and settings not stored</translation>
    </message>
    <message>
        <source>回線が切れています</source>
        <translation>the line is down</translation>
    </message>
    <message>
        <source>%1 秒以内に送れませんでした</source>
        <translation>it could not leave within %1 s</translation>
    </message>
    <message>
        <source>送信を待つコマンドが多すぎます</source>
        <translation>too many commands are waiting</translation>
    </message>
    <message>
        <source>%1 は送信されませんでした: %2</source>
        <translation>%1 was not sent: %2</translation>
    </message>
    <message>
        <source>%1 はサーバーに拒否されました (%2)</source>
        <translation>%1 was refused by the server (%2)</translation>
    </message>
    <message>
        <source>設定を保存できませんでした: [%1] %2 (%3)</source>
        <translation>Setting not stored: [%1] %2 (%3)</translation>
    </message>
    <message>
        <source>接続中</source>
        <translation>connected</translation>
    </message>
    <message>
        <source>再接続中</source>
        <translation>reconnecting</translation>
    </message>
    <message>
        <source>未接続</source>
        <translation>not connected</translation>
    </message>
    <message>
        <source>お知らせなし</source>
        <translation>No notices</translation>
    </message>
    <message>
        <source>ポート%1  %2  %3 bps</source>
        <translation>Port %1  %2  %3 baud</translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <source>通信設定</source>
        <translation>Port Settings</translation>
    </message>
    <message>
        <source>RS232Cポートの設定</source>
        <translation>RS-232C port</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>ボーレート</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>無線機をつなぐシリアルポート。次に起動したときから使われます。</source>
        <translation>The serial port of the radio. Used from the next start.</translation>
    </message>
    <message>
        <source>シリアルポートの通信速度。次に起動したときから使われます。</source>
        <translation>The speed of the serial port. Used from the next start.</translation>
    </message>
    <message>
        <source>デバイス</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>選んだポート番号が指すデバイス。シリアルデバイスか、rigctld:ホスト:ポート、flrig:ホスト:ポート、tcp:ホスト:ポート。次に起動したときから使われます。</source>
        <translation>The device the chosen port number names: a serial device, or rigctld:host:port, flrig:host:port, tcp:host:port. Used from the next start.</translation>
    </message>
    <message>
        <source>通信設定を終了</source>
        <translation>Close port settings</translation>
    </message>
    <message>
        <source>変更したポートと通信速度を記録して閉じます。</source>
        <translation>Stores the changed port and speed and closes.</translation>
    </message>
    <message>
        <source>環境変数 RIGDECK_COM%1 で指定されています。</source>
        <translation>Set by the environment variable RIGDECK_COM%1.</translation>
    </message>
    <message>
        <source>デバイス名は %1 バイトまでです。それより長い名前は記録できません。</source>
        <translation>A device name can be at most %1 bytes; a longer one cannot be stored.</translation>
    </message>
</context>
<context>
    <name>Form3</name>
    <message>
        <source>バージョン</source>
        <comment>window title</comment>
        <translation>About RIGDECK</translation>
    </message>
    <message>
        <source>プログラム名称</source>
        <translation>Program name</translation>
    </message>
    <message>
        <source>ＲＩＧＤＥＣＫ</source>
        <translation>RIGDECK</translation>
    </message>
    <message>
        <source>プログラムバージョン</source>
        <translation>Program version</translation>
    </message>
    <message>
        <source>バージョン</source>
        <comment>label</comment>
        <translation>Version</translation>
    </message>
    <message>
        <source>免責事項</source>
        <translation>Disclaimer</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>バージョン情報を閉じます。</source>
        <translation>Closes the about window.</translation>
    </message>
    <message>
        <source>免責：このプログラムの使用により発生したいかなる問題や損害に対して、当方は一切責任を負いません。利用者の責任においてご利用願います。</source>
        <translation>Disclaimer: we accept no liability for any problem or damage from using this program. Use it at your own risk.</translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>目次</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>ヘルプファイル %1 が見つかりません。</source>
        <translation>The help file %1 was not found.</translation>
    </message>
    <message>
        <source>RIGDECK ヘルプ</source>
        <translation>RIGDECK Help</translation>
    </message>
</context>
<context>
    <name>KeySpeedPanel</name>
    <message>
        <source>ブレークインを切り替えます。現在: %1。</source>
        <translation>Switches break-in on or off. Now: %1.</translation>
    </message>
    <message>
        <source>オン</source>
        <translation>on</translation>
    </message>
    <message>
        <source>オフ</source>
        <translation>off</translation>
    </message>
    <message>
        <source>ＯＮ：送信モード&#x3000;&#x3000;ＯＦＦ：テストモード</source>
        <translation>ON: transmit mode    OFF: test mode</translation>
    </message>
    <message>
        <source>モールスの１分あたりの文字速度</source>
        <translation>Morse key speed in words per minute</translation>
    </message>
    <message>
        <source>確定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>キースピード</source>
        <translation>Key speed</translation>
    </message>
    <message>
        <source>モールスの送信速度を %1～%2 WPM の範囲で選びます。確定ボタンで無線機に設定します。</source>
        <translation>Chooses the key speed, %1 to %2 WPM. The Set button sends it to the radio.</translation>
    </message>
    <message>
        <source>キースピードを確定</source>
        <translation>Set key speed</translation>
    </message>
    <message>
        <source>スライダーで選んだキースピードを無線機に設定します。</source>
        <translation>Sets the radio to the key speed chosen on the slider.</translation>
    </message>
</context>
<context>
    <name>KeyerPanel</name>
    <message>
        <source>コンテストメモリーキーヤー</source>
        <translation>Contest memory keyer</translation>
    </message>
    <message>
        <source>あらかじめＦＴ２０００に登録が必要です。ＰＡＮＥＬＳＹＮＣでも登録可能</source>
        <translation>Store the text memories in the FT2000 first (PANELSYNC can store them too)</translation>
    </message>
    <message>
        <source>送信は、ＢＫ＿ＩＮをＯＮ&#x3000;テストはＢＫ＿ＩＮをＯＦＦ</source>
        <translation>To transmit, BK_IN ON; to test, BK_IN OFF</translation>
    </message>
    <message>
        <source>テキストメモリー %1 の内容</source>
        <translation>Text memory %1 contents</translation>
    </message>
    <message>
        <source>無線機に登録されているテキストメモリー %1 の文字列。</source>
        <translation>The text stored in the radio&apos;s text memory %1.</translation>
    </message>
    <message>
        <source>テキストメモリー %1 (%2)</source>
        <translation>Text memory %1 (%2)</translation>
    </message>
    <message>
        <source>無線機のテキストメモリー %1 を再生します。ショートカットキー: Shift+F%1。</source>
        <translation>Plays the radio&apos;s text memory %1. Shortcut: Shift+F%1.</translation>
    </message>
    <message>
        <source>メッセージメモリー %1 (%2)</source>
        <translation>Message memory %1 (%2)</translation>
    </message>
    <message>
        <source>無線機のメッセージメモリー %1 を再生します。ショートカットキー: F%1。</source>
        <translation>Plays the radio&apos;s message memory %1. Shortcut: F%1.</translation>
    </message>
</context>
<context>
    <name>LauncherPanel</name>
    <message>
        <source>WAVESCOPEの起動</source>
        <translation>Start WAVESCOPE</translation>
    </message>
    <message>
        <source>起動</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>サウンドボードに入力されている信号をＦＦＴ変換およびウォータフォール波形で表示する</source>
        <translation>Shows the signal at the sound card input as an FFT spectrum and a waterfall</translation>
    </message>
    <message>
        <source>WAVESCOPE 起動</source>
        <translation>Start WAVESCOPE</translation>
    </message>
    <message>
        <source>WAVESCOPE を起動します。</source>
        <translation>Starts WAVESCOPE.</translation>
    </message>
    <message>
        <source>WAVESCOPE.EXEがインストールされていません。 WAVESCOPE.EXEをダウンロードし同じホルダーにインストールしてください｡ </source>
        <translation>WAVESCOPE.EXE is not installed. Download WAVESCOPE.EXE and install it in the same folder as RIGDECK.</translation>
    </message>
</context>
<context>
    <name>ModePanel</name>
    <message>
        <source>運用モード</source>
        <translation>Operating mode</translation>
    </message>
    <message>
        <source>ＦＭ</source>
        <translation>FM</translation>
    </message>
    <message>
        <source>ＡM</source>
        <translation>AM</translation>
    </message>
    <message>
        <source>ＣＷ</source>
        <translation>CW</translation>
    </message>
    <message>
        <source>無線機の運用モードを %1 に切り替えます。</source>
        <translation>Switches the radio to %1.</translation>
    </message>
</context>
<context>
    <name>SimulatedSerialPort</name>
    <message>
        <source>模擬 FT2000</source>
        <translation>simulated FT2000</translation>
    </message>
</context>
<context>
    <name>VoiceMemoryPanel</name>
    <message>
        <source>コメント: </source>
        <extracomment>Follows the sentence before it directly: English starts with a blank.</extracomment>
        <translation> Comment: </translation>
    </message>
    <message>
        <source>ボイスメモリー %1 録音 (%2)</source>
        <translation>Voice memory %1 record (%2)</translation>
    </message>
    <message>
        <source>無線機のボイスメモリー %1 に録音を始めます。%2 秒で止まります。</source>
        <translation>Starts recording into the radio&apos;s voice memory %1. Stops after %2 seconds.</translation>
    </message>
    <message>
        <source>ボイスメモリー %1 再生 (%2)</source>
        <translation>Voice memory %1 play (%2)</translation>
    </message>
    <message>
        <source>無線機のボイスメモリー %1 を再生します。</source>
        <translation>Plays the radio&apos;s voice memory %1.</translation>
    </message>
    <message>
        <source>ボイスメモリー録音</source>
        <translation>Voice memory: record</translation>
    </message>
    <message>
        <source>ボイスメモリー再生</source>
        <translation>Voice memory: play</translation>
    </message>
    <message>
        <source>送信は、ＢＫ＿ＩＮをＯＮ&#x3000;テストはＢＫ＿ＩＮをＯＦＦ</source>
        <translation>To transmit, BK_IN ON; to test, BK_IN OFF</translation>
    </message>
    <message>
        <source>録音中止</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>コメント入力</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>確定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>録音時間</source>
        <translation>Rec time</translation>
    </message>
    <message>
        <source>再生中止</source>
        <translation>Stop playback</translation>
    </message>
    <message>
        <source>ボイスメモリー録音中止</source>
        <translation>Stop voice memory recording</translation>
    </message>
    <message>
        <source>録音を止めて長さを記録し、コメント入力を開きます。</source>
        <translation>Stops the recording, stores its length and opens the comment entry.</translation>
    </message>
    <message>
        <source>ボイスメモリーのコメント</source>
        <translation>Voice memory comment</translation>
    </message>
    <message>
        <source>録音したボイスメモリーのコメント。Enter で確定します。</source>
        <translation>A comment on the voice memory just recorded. Enter saves it.</translation>
    </message>
    <message>
        <source>コメントを確定</source>
        <translation>Save comment</translation>
    </message>
    <message>
        <source>コメントを記録し、ボイスメモリーの録音ボタンを使えるようにします。</source>
        <translation>Saves the comment and makes the record buttons usable again.</translation>
    </message>
    <message>
        <source>ボイスメモリー再生中止</source>
        <translation>Stop voice memory playback</translation>
    </message>
    <message>
        <source>ボイスメモリーの再生を止めます。</source>
        <translation>Stops the voice memory playback.</translation>
    </message>
    <message>
        <source> %1&#x3000;秒</source>
        <translation> %1 s</translation>
    </message>
</context>
</TS>
