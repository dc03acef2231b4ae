<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>BdfFile</name>
    <message>
        <source>%1 is not read: %2</source>
        <translation>%1 未讀取：%2</translation>
    </message>
    <message>
        <source>The compressed data is damaged.</source>
        <translation>壓縮資料已損壞。</translation>
    </message>
    <message>
        <source>Line %1 is longer than %2 bytes.</source>
        <translation>第 %1 行超過 %2 位元組。</translation>
    </message>
    <message>
        <source>The compressed file is cut short.</source>
        <translation>壓縮檔不完整，已被截斷。</translation>
    </message>
    <message>
        <source>It is larger than %1 bytes.</source>
        <translation>檔案大於 %1 位元組。</translation>
    </message>
    <message>
        <source>The table cannot be compressed.</source>
        <translation>表格無法壓縮。</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>檔案是空的。</translation>
    </message>
    <message>
        <source>The file is not text.</source>
        <translation>此檔案不是文字檔。</translation>
    </message>
    <message>
        <source>%1 does not declare it.</source>
        <translation>%1 未宣告此欄位。</translation>
    </message>
    <message>
        <source>Column &quot;%1&quot; is not read.</source>
        <translation>欄位「%1」未讀取。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds the same.</source>
        <translation>「%1」已含相同的量。</translation>
    </message>
    <message>
        <source>The file has no %1 column.</source>
        <translation>檔案沒有 %1 欄位。</translation>
    </message>
    <message>
        <source>The file has no temperature column: the temperature reads 0.</source>
        <translation>檔案沒有溫度欄位：溫度以 0 計。</translation>
    </message>
    <message>
        <source>Line %1 is not read: it has %2 fields, the header %3.</source>
        <translation>第 %1 行未讀取：它有 %2 個欄位，標題列有 %3 個。</translation>
    </message>
    <message>
        <source>The file holds more than %1 samples.</source>
        <translation>檔案的樣本超過 %1 筆。</translation>
    </message>
    <message>
        <source>Line %1 has no value in %2.</source>
        <translation>第 %1 行的 %2 沒有數值。</translation>
    </message>
    <message>
        <source>Line %1: &quot;%2&quot; in %3 is not a number.</source>
        <translation>第 %1 行：%3 中的「%2」不是數字。</translation>
    </message>
    <message>
        <source>The file holds no samples.</source>
        <translation>檔案中沒有樣本。</translation>
    </message>
</context>
<context>
    <name>Book</name>
    <message>
        <source>Unnamed runs</source>
        <translation>未命名記錄</translation>
    </message>
    <message>
        <source>You left it out of its pack&apos;s figures.</source>
        <translation>您已將它排除於電池組的數據之外。</translation>
    </message>
    <message>
        <source>hold %1 A for 10 s, then at least %2 A</source>
        <translation>以 %1 A 維持 10 秒，再至少 %2 A</translation>
    </message>
    <message>
        <source>lowest at the end of discharge in %1 of %2 runs</source>
        <translation>%2 次記錄中有 %1 次於放電結束時最低</translation>
    </message>
    <message>
        <source>highest at the change to constant voltage in %1 of %2 runs</source>
        <translation>%2 次記錄中有 %1 次於轉入定電壓時最高</translation>
    </message>
    <message>
        <source>drifted out again one cycle after balancing</source>
        <translation>平衡後一個循環又再偏離</translation>
    </message>
    <message>
        <source>cell %1 weak: %2</source>
        <translation>第 %1 顆電芯偏弱：%2</translation>
    </message>
    <message>
        <source>constant-voltage share up from %1 % to %2 %</source>
        <translation>定電壓比例由 %1 % 升至 %2 %</translation>
    </message>
    <message>
        <source>%1 packs need care: %2</source>
        <translation>%1 個電池組需要留意：%2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>stored full for %1 days</source>
        <translation>滿電存放已 %1 天</translation>
    </message>
    <message>
        <source>cell %1 weak</source>
        <translation>第 %1 顆電芯偏弱</translation>
    </message>
    <message>
        <source>capacity down to %1 % (limit %2 %)</source>
        <translation>容量降至 %1 %（限值 %2 %）</translation>
    </message>
    <message>
        <source>resistance %1 mΩ (limit %2 mΩ)</source>
        <translation>內阻 %1 mΩ（限值 %2 mΩ）</translation>
    </message>
    <message>
        <source>resistance up %1 %</source>
        <translation>內阻上升 %1 %</translation>
    </message>
    <message>
        <source>cells %1 V apart (limit %2 V)</source>
        <translation>電芯壓差 %1 V（限值 %2 V）</translation>
    </message>
</context>
<context>
    <name>BookWindow</name>
    <message>
        <source>Packs</source>
        <translation>電池組</translation>
    </message>
    <message>
        <source>Battery book</source>
        <translation>電池簿</translation>
    </message>
    <message>
        <source>Add folder…</source>
        <translation>加入資料夾…</translation>
    </message>
    <message>
        <source>Remove folder</source>
        <translation>移除資料夾</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Runs</source>
        <translation>記錄</translation>
    </message>
    <message>
        <source>Skipped files</source>
        <translation>略過的檔案</translation>
    </message>
    <message>
        <source>Capacity per discharge over date</source>
        <translation>每次放電容量（依日期）</translation>
    </message>
    <message>
        <source>Capacity per discharge over cycles</source>
        <translation>每次放電容量（依循環）</translation>
    </message>
    <message>
        <source>Pack</source>
        <translation>電池組</translation>
    </message>
    <message>
        <source>Cycles</source>
        <translation>循環</translation>
    </message>
    <message>
        <source>First use</source>
        <translation>首次使用</translation>
    </message>
    <message>
        <source>Last use</source>
        <translation>最後使用</translation>
    </message>
    <message>
        <source>Capacity (mAh)</source>
        <translation>容量 (mAh)</translation>
    </message>
    <message>
        <source>DCIR (mΩ)</source>
        <translation>直流內阻 (mΩ)</translation>
    </message>
    <message>
        <source>Method</source>
        <translation>方法</translation>
    </message>
    <message>
        <source>Spread (V)</source>
        <translation>壓差 (V)</translation>
    </message>
    <message>
        <source>DCIR trend (mΩ)</source>
        <translation>內阻變化 (mΩ)</translation>
    </message>
    <message>
        <source>Rated (mAh)</source>
        <translation>額定 (mAh)</translation>
    </message>
    <message>
        <source>Cells</source>
        <translation>電芯數</translation>
    </message>
    <message>
        <source>File</source>
        <translation>檔案</translation>
    </message>
    <message>
        <source>Why it was skipped</source>
        <translation>略過原因</translation>
    </message>
    <message>
        <source>%1 runs, %2 files skipped</source>
        <translation>%1 筆記錄，略過 %2 個檔案</translation>
    </message>
    <message>
        <source> (file time)</source>
        <translation>（檔案時間）</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>類型</translation>
    </message>
    <message>
        <source>Chemistry</source>
        <translation>化學類型</translation>
    </message>
    <message>
        <source>Duration (s)</source>
        <translation>時長 (s)</translation>
    </message>
    <message>
        <source>Charged (mAh)</source>
        <translation>充入 (mAh)</translation>
    </message>
    <message>
        <source>Discharged (mAh)</source>
        <translation>放出 (mAh)</translation>
    </message>
    <message>
        <source>Charged (Wh)</source>
        <translation>充入 (Wh)</translation>
    </message>
    <message>
        <source>Discharged (Wh)</source>
        <translation>放出 (Wh)</translation>
    </message>
    <message>
        <source>Peak (A)</source>
        <translation>峰值 (A)</translation>
    </message>
    <message>
        <source>Ext max (℃)</source>
        <translation>外部最高 (℃)</translation>
    </message>
    <message>
        <source>Int max (℃)</source>
        <translation>內部最高 (℃)</translation>
    </message>
    <message>
        <source>V start</source>
        <translation>起始電壓</translation>
    </message>
    <message>
        <source>V end</source>
        <translation>結束電壓</translation>
    </message>
    <message>
        <source>End-of-charge spread (V)</source>
        <translation>充電結束壓差 (V)</translation>
    </message>
    <message>
        <source>Resistance</source>
        <translation>內阻</translation>
    </message>
    <message>
        <source>Equivalent full cycles</source>
        <translation>等效完整循環</translation>
    </message>
    <message>
        <source>Rename or merge…</source>
        <translation>重新命名或合併…</translation>
    </message>
    <message>
        <source>Rated capacity and cells…</source>
        <translation>額定容量與電芯數…</translation>
    </message>
    <message>
        <source>The pack&apos;s new name (the name of another pack merges the two):</source>
        <translation>電池組的新名稱（使用另一電池組的名稱即合併兩者）：</translation>
    </message>
    <message>
        <source>Rated capacity (mAh), empty if not known:</source>
        <translation>額定容量 (mAh)，不知道則留空：</translation>
    </message>
    <message>
        <source>Cells in series, empty if not known:</source>
        <translation>串聯電芯數，不知道則留空：</translation>
    </message>
    <message>
        <source>Move to pack…</source>
        <translation>移至電池組…</translation>
    </message>
    <message>
        <source>The pack these runs belong to:</source>
        <translation>這些記錄所屬的電池組：</translation>
    </message>
    <message>
        <source>Rebuild</source>
        <translation>重建</translation>
    </message>
    <message>
        <source>; cells %1 mΩ</source>
        <translation>；各電芯 %1 mΩ</translation>
    </message>
    <message>
        <source>Of the best (%)</source>
        <translation>佔最佳 (%)</translation>
    </message>
    <message>
        <source>idle</source>
        <translation>閒置</translation>
    </message>
    <message>
        <source>charge</source>
        <translation>充電</translation>
    </message>
    <message>
        <source>discharge</source>
        <translation>放電</translation>
    </message>
    <message>
        <source>both</source>
        <translation>充放電</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>編號</translation>
    </message>
    <message>
        <source>%1 since %2 by %3</source>
        <translation>%1（自 %2 起，依 %3）</translation>
    </message>
    <message>
        <source>The rated capacity is a number of mAh and the cells a number from 1 to 12, or empty if not known: &quot;%1&quot;, &quot;%2&quot; are not. Nothing was changed.</source>
        <translation>額定容量須為 mAh 數值，電芯數須為 1 至 12 的數字，不明時留空：「%1」、「%2」不符。未作任何變更。</translation>
    </message>
    <message>
        <source>Pack details…</source>
        <translation>電池組資料…</translation>
    </message>
    <message>
        <source>Write #%1 into its runs&apos; descriptions</source>
        <translation>將 #%1 寫入其記錄的描述</translation>
    </message>
    <message>
        <source>New pack…</source>
        <translation>新增電池組…</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>匯出 CSV…</translation>
    </message>
    <message>
        <source>Leave out of the pack&apos;s figures</source>
        <translation>排除於電池組數據之外</translation>
    </message>
    <message>
        <source>Correct the date…</source>
        <translation>更正日期…</translation>
    </message>
    <message>
        <source>The run&apos;s start (yyyy-MM-dd hh:mm), empty for the date it has of itself:</source>
        <translation>記錄的開始時間（yyyy-MM-dd hh:mm），留空則用記錄本身的日期：</translation>
    </message>
    <message>
        <source>%1 is no date and time such as 2026-05-01 10:00.</source>
        <translation>%1 不是如 2026-05-01 10:00 的日期時間。</translation>
    </message>
    <message>
        <source>Count in its pack&apos;s figures again</source>
        <translation>重新計入電池組數據</translation>
    </message>
    <message>
        <source>Another pack is named %1: Rename or merge joins the two.</source>
        <translation>已有電池組名為 %1：用「重新命名或合併」可將兩者合併。</translation>
    </message>
    <message>
        <source>These descriptions were left as they were:</source>
        <translation>下列描述未作變更：</translation>
    </message>
    <message>
        <source>The CSV file was not written to %1<byte value="xd"/>
%2</source>
        <translation>CSV 檔案未寫入 %1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Weak cell</source>
        <translation>偏弱電芯</translation>
    </message>
    <message>
        <source>End of life</source>
        <translation>壽命終點</translation>
    </message>
    <message>
        <source>For ± 10 %: %1</source>
        <translation>若要 ± 10 %：%1</translation>
    </message>
    <message>
        <source>Cells at the end (V)</source>
        <translation>結束時電芯電壓 (V)</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>DCIR end of life</source>
        <translation>內阻壽命終點</translation>
    </message>
    <message>
        <source>CV share trend (%)</source>
        <translation>定電壓比例變化 (%)</translation>
    </message>
    <message>
        <source>CV share (%)</source>
        <translation>定電壓比例 (%)</translation>
    </message>
    <message>
        <source>Taper (s)</source>
        <translation>收尾時間 (s)</translation>
    </message>
    <message>
        <source>dQ/dV peak (V)</source>
        <translation>dQ/dV 峰值 (V)</translation>
    </message>
    <message>
        <source>dQ/dV peak (mAh/V)</source>
        <translation>dQ/dV 峰高 (mAh/V)</translation>
    </message>
    <message>
        <source>Limits…</source>
        <translation>限值…</translation>
    </message>
    <message>
        <source>Charges: constant-voltage share and taper</source>
        <translation>充電：定電壓比例與收尾時間</translation>
    </message>
    <message>
        <source>Charges: dQ/dV peak, voltage and height</source>
        <translation>充電：dQ/dV 峰值的電壓與高度</translation>
    </message>
    <message>
        <source>Peak (V)</source>
        <translation>峰值 (V)</translation>
    </message>
    <message>
        <source>Height (mAh/V)</source>
        <translation>峰高 (mAh/V)</translation>
    </message>
    <message>
        <source>Taper (min)</source>
        <translation>收尾時間 (min)</translation>
    </message>
    <message>
        <source>Limits</source>
        <translation>限值</translation>
    </message>
    <message>
        <source>A pack is worn at this share of its first capacity (%, 50 to 95):</source>
        <translation>電池組容量降至初始容量的此比例即視為耗損（%，50 至 95）：</translation>
    </message>
    <message>
        <source>or once its resistance reaches (mΩ, empty: twice its first):</source>
        <translation>或內阻達到（mΩ，留空：初始值的兩倍）：</translation>
    </message>
    <message>
        <source>Warn of cells this far apart at the end of a charge (mV, empty: never):</source>
        <translation>充電結束時電芯壓差超過此值即警告（mV，留空：不警告）：</translation>
    </message>
    <message>
        <source>The share is a number from 50 to 95, the resistance a number of mΩ and the spread one of mV, or empty: &quot;%1&quot; are not all such. Nothing was changed.</source>
        <translation>比例須為 50 至 95 的數字，內阻為 mΩ 數值，壓差為 mV 數值，或留空：「%1」並非全部符合。未作任何變更。</translation>
    </message>
</context>
<context>
    <name>Captions</name>
    <message>
        <source>&amp;Open</source>
        <translation>打開(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>匯出(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>語言(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>列印(&amp;P)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>離開(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>復制(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Title</source>
        <translation>標題(&amp;T)</translation>
    </message>
    <message>
        <source>Cross&amp;Line</source>
        <translation>十字線(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Guid</source>
        <translation>手冊(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>關於(&amp;A)</translation>
    </message>
    <message>
        <source>Tile &amp;Horizontally</source>
        <translation>水平窗口排列(&amp;H)</translation>
    </message>
    <message>
        <source>Tile &amp;Vertically</source>
        <translation>垂直窗口排列(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>層疊(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;ArrangeIcons</source>
        <translation>排列圖標(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>視圖(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>窗口(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>幫助(&amp;H)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打開</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>列印</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>匯出</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>標題</translation>
    </message>
    <message>
        <source>CrossLine</source>
        <translation>十字線</translation>
    </message>
    <message>
        <source>&amp;Summary</source>
        <translation>摘要(&amp;S)</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>語言</translation>
    </message>
    <message>
        <source>&amp;Battery book</source>
        <translation>電池簿(&amp;B)</translation>
    </message>
    <message>
        <source>&amp;Print pack labels…</source>
        <translation>列印電池標籤(&amp;P)…</translation>
    </message>
    <message>
        <source>Co&amp;mpare</source>
        <translation>比較(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;Watch station…</source>
        <translation>觀看工作站(&amp;W)…</translation>
    </message>
    <message>
        <source>S&amp;top watching…</source>
        <translation>停止觀看(&amp;T)…</translation>
    </message>
    <message>
        <source>&amp;Full screen</source>
        <translation>全螢幕(&amp;F)</translation>
    </message>
    <message>
        <source>Side &amp;pane</source>
        <translation>側欄(&amp;P)</translation>
    </message>
    <message>
        <source>Cl&amp;ose</source>
        <translation>關閉(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>下一個窗口(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>上一個窗口(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>匯入(&amp;I)…</translation>
    </message>
    <message>
        <source>Save &amp;report…</source>
        <translation>儲存報告(&amp;R)…</translation>
    </message>
</context>
<context>
    <name>Chart</name>
    <message>
        <source>Voltage(V)</source>
        <translation>電壓(V)</translation>
    </message>
    <message>
        <source>Current(A)</source>
        <translation>電流(A)</translation>
    </message>
    <message>
        <source>Capacity(mAh)</source>
        <translation>容量(mAh)</translation>
    </message>
    <message>
        <source>External temperature(℃)</source>
        <translation>外部溫度(℃)</translation>
    </message>
</context>
<context>
    <name>CompareChooser</name>
    <message>
        <source>Compare runs</source>
        <translation>比較記錄</translation>
    </message>
    <message>
        <source>Add run file…</source>
        <translation>加入記錄檔案…</translation>
    </message>
</context>
<context>
    <name>CompareFile</name>
    <message>
        <source>The run file %1 is missing.</source>
        <translation>記錄檔案 %1 不存在。</translation>
    </message>
    <message>
        <source>%1 is no run file.</source>
        <translation>%1 不是記錄檔案。</translation>
    </message>
    <message>
        <source>%1 is no comparison file: %2</source>
        <translation>%1 不是比較檔案：%2</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>不是一般檔案</translation>
    </message>
    <message>
        <source>larger than %1 KB</source>
        <translation>大於 %1 KB</translation>
    </message>
    <message>
        <source>not a JSON object</source>
        <translation>不是 JSON 物件</translation>
    </message>
    <message>
        <source>it names %1 runs; a comparison holds %2 to %3</source>
        <translation>它列出 %1 筆記錄；一個比較含 %2 至 %3 筆</translation>
    </message>
    <message>
        <source>a run is not a file name</source>
        <translation>有記錄不是檔案名稱</translation>
    </message>
    <message>
        <source>unknown alignment or view</source>
        <translation>未知的對齊或檢視</translation>
    </message>
    <message>
        <source>the reference is none of its runs</source>
        <translation>參考不是其中的記錄</translation>
    </message>
    <message>
        <source>no quantities</source>
        <translation>沒有物理量</translation>
    </message>
    <message>
        <source>unknown quantity %1</source>
        <translation>未知的物理量 %1</translation>
    </message>
</context>
<context>
    <name>CompareWindow</name>
    <message>
        <source>Compare</source>
        <translation>比較</translation>
    </message>
    <message>
        <source>Quantities</source>
        <translation>物理量</translation>
    </message>
    <message>
        <source>Voltage(V)</source>
        <translation>電壓(V)</translation>
    </message>
    <message>
        <source>Current(A)</source>
        <translation>電流(A)</translation>
    </message>
    <message>
        <source>Capacity(mAh)</source>
        <translation>容量(mAh)</translation>
    </message>
    <message>
        <source>External temperature(℃)</source>
        <translation>外部溫度(℃)</translation>
    </message>
    <message>
        <source>Cell %1(V)</source>
        <translation>電芯 %1(V)</translation>
    </message>
    <message>
        <source>Time since the start</source>
        <translation>自開始起的時間</translation>
    </message>
    <message>
        <source>Time since constant voltage</source>
        <translation>自恆壓起的時間</translation>
    </message>
    <message>
        <source>Rated capacity(%)</source>
        <translation>額定容量(%)</translation>
    </message>
    <message>
        <source>Overlay</source>
        <translation>疊加</translation>
    </message>
    <message>
        <source>Difference</source>
        <translation>差值</translation>
    </message>
    <message>
        <source>Incremental capacity dQ/dV</source>
        <translation>增量容量 dQ/dV</translation>
    </message>
    <message>
        <source>Aligned at the start</source>
        <translation>按開始對齊</translation>
    </message>
    <message>
        <source>Aligned at constant voltage</source>
        <translation>按恆壓對齊</translation>
    </message>
    <message>
        <source>Aligned by capacity</source>
        <translation>按容量對齊</translation>
    </message>
    <message>
        <source>Aligned by rated capacity</source>
        <translation>按額定容量對齊</translation>
    </message>
    <message>
        <source>Reference: #%1</source>
        <translation>參考：#%1</translation>
    </message>
    <message>
        <source>The run file %1 cannot be read:<byte value="xd"/>
%2</source>
        <translation>無法讀取記錄檔案 %1：<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>(no change to constant voltage: at its start) </source>
        <translation>（沒有轉為恆壓：按開始）</translation>
    </message>
    <message>
        <source>(no rated capacity: left out) </source>
        <translation>（沒有額定容量：未列入）</translation>
    </message>
    <message>
        <source>(the reference) </source>
        <translation>（參考）</translation>
    </message>
    <message>
        <source>#%1 - #%2 %3</source>
        <translation>#%1 - #%2 %3</translation>
    </message>
    <message>
        <source>Reading the runs: %p%</source>
        <translation>正在讀取記錄：%p%</translation>
    </message>
    <message>
        <source>dQ/dV(mAh/V)</source>
        <translation>dQ/dV(mAh/V)</translation>
    </message>
    <message>
        <source>Difference from #%1: </source>
        <translation>與 #%1 的差值：</translation>
    </message>
    <message>
        <source>Run #%1 has no run file yet: save it first.</source>
        <translation>記錄 #%1 還沒有記錄檔案：請先保存。</translation>
    </message>
    <message>
        <source>The comparison was not saved to %1<byte value="xd"/>
%2</source>
        <translation>比較未保存到 %1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Comparison saved at %1</source>
        <translation>比較已保存於 %1</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message numerus="yes">
        <source>At most %n characters.</source>
        <translation>
            <numerusform>最多 %n 個字元。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HttpOutbox</name>
    <message>
        <source>%1: %2 answers again</source>
        <translation>%1: %2 再次回應</translation>
    </message>
    <message>
        <source>%1: %2 answers again; %3 requests were given up</source>
        <translation>%1: %2 再次回應; 已放棄 %3 個請求</translation>
    </message>
    <message>
        <source>no answer in %1 s</source>
        <translation>%1 秒內無回應</translation>
    </message>
    <message>
        <source>answered %1 %2</source>
        <translation>回應 %1 %2</translation>
    </message>
    <message>
        <source>%1: %2: %3; tried again later, the recording goes on</source>
        <translation>%1: %2: %3; 稍後重試, 記錄繼續進行</translation>
    </message>
</context>
<context>
    <name>InfluxWriter</name>
    <message>
        <source>InfluxDB: &quot;%1&quot; is not an http:// or https:// address</source>
        <translation>InfluxDB: &quot;%1&quot; 不是 http:// 或 https:// 位址</translation>
    </message>
    <message>
        <source>InfluxDB: no database or bucket named</source>
        <translation>InfluxDB: 未指定資料庫或儲存桶</translation>
    </message>
    <message>
        <source>InfluxDB: the token file %1 cannot be read (%2)</source>
        <translation>InfluxDB: 無法讀取權杖檔 %1 (%2)</translation>
    </message>
    <message>
        <source>%1; nothing is written</source>
        <translation>%1; 不寫入任何資料</translation>
    </message>
</context>
<context>
    <name>Infoform1</name>
    <message>
        <source>Input voltage</source>
        <translation>輸入電壓</translation>
    </message>
    <message>
        <source>Battery voltage</source>
        <translation>電池電壓</translation>
    </message>
    <message>
        <source>Input Volt</source>
        <translation>輸入電壓</translation>
    </message>
    <message>
        <source>Output Volt</source>
        <translation>输出電壓</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>容量</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>電流</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>功率</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Avg</source>
        <translation>平均</translation>
    </message>
    <message>
        <source>△:</source>
        <translation>壓差</translation>
    </message>
    <message>
        <source>Int.</source>
        <translation>充電器</translation>
    </message>
    <message>
        <source>Ext.</source>
        <translation>電池</translation>
    </message>
    <message>
        <source>Volt</source>
        <translation>電壓</translation>
    </message>
    <message>
        <source>Curr</source>
        <translation>電流</translation>
    </message>
    <message>
        <source>Cap</source>
        <translation>容量</translation>
    </message>
    <message>
        <source>Temp</source>
        <translation>溫度</translation>
    </message>
    <message>
        <source>%1, digits</source>
        <translation>%1，數字</translation>
    </message>
    <message>
        <source>Cell %1</source>
        <translation>電芯 %1</translation>
    </message>
    <message>
        <source>Cell %1 charge</source>
        <translation>電芯 %1 電量</translation>
    </message>
    <message>
        <source>Highest cell</source>
        <translation>最高電芯電壓</translation>
    </message>
    <message>
        <source>Lowest cell</source>
        <translation>最低電芯電壓</translation>
    </message>
    <message>
        <source>Average cell</source>
        <translation>平均電芯電壓</translation>
    </message>
    <message>
        <source>Cell spread</source>
        <translation>電芯壓差</translation>
    </message>
    <message>
        <source>Internal temperature</source>
        <translation>充電器溫度</translation>
    </message>
    <message>
        <source>External temperature</source>
        <translation>電池溫度</translation>
    </message>
    <message>
        <source>Infomation panel</source>
        <translation>資訊面板</translation>
    </message>
</context>
<context>
    <name>LabelChooser</name>
    <message>
        <source>Print pack labels</source>
        <translation>列印電池標籤</translation>
    </message>
    <message>
        <source>2 × 6, 12 on a sheet</source>
        <translation>2 × 6，每張 12 枚</translation>
    </message>
    <message>
        <source>3 × 8, 24 on a sheet</source>
        <translation>3 × 8，每張 24 枚</translation>
    </message>
    <message>
        <source>PDF file</source>
        <translation>PDF 檔案</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>印表機</translation>
    </message>
    <message>
        <source>Layout:</source>
        <translation>版面：</translation>
    </message>
    <message>
        <source>Paper:</source>
        <translation>紙張：</translation>
    </message>
    <message>
        <source>Print to:</source>
        <translation>輸出至：</translation>
    </message>
    <message>
        <source>Packs:</source>
        <translation>電池組：</translation>
    </message>
</context>
<context>
    <name>LiveDispatch</name>
    <message>
        <source>No power manager keeps the computer awake (%1); recording goes on, but the computer may sleep.</source>
        <translation>沒有電源管理程式能讓電腦保持喚醒（%1）；記錄會繼續，但電腦可能進入睡眠。</translation>
    </message>
</context>
<context>
    <name>LiveRuns</name>
    <message>
        <source>CH%1: the charger is lost: its run ends unless it is back within %2 s.</source>
        <translation>CH%1: 充電器已斷線: 若未在 %2 秒內恢復，其記錄將結束。</translation>
    </message>
</context>
<context>
    <name>LogImport</name>
    <message>
        <source>(not imported)</source>
        <translation>（不匯入）</translation>
    </message>
    <message>
        <source>time (s)</source>
        <translation>時間（秒）</translation>
    </message>
    <message>
        <source>time (ms)</source>
        <translation>時間（毫秒）</translation>
    </message>
    <message>
        <source>time (hh:mm:ss)</source>
        <translation>時間（時:分:秒）</translation>
    </message>
    <message>
        <source>voltage (V)</source>
        <translation>電壓（V）</translation>
    </message>
    <message>
        <source>voltage (mV)</source>
        <translation>電壓（mV）</translation>
    </message>
    <message>
        <source>current (A)</source>
        <translation>電流（A）</translation>
    </message>
    <message>
        <source>current (mA)</source>
        <translation>電流（mA）</translation>
    </message>
    <message>
        <source>current (A, charge negative)</source>
        <translation>電流（A，充電為負）</translation>
    </message>
    <message>
        <source>capacity (mAh)</source>
        <translation>容量（mAh）</translation>
    </message>
    <message>
        <source>capacity (Ah)</source>
        <translation>容量（Ah）</translation>
    </message>
    <message>
        <source>temperature (°C)</source>
        <translation>溫度（°C）</translation>
    </message>
    <message>
        <source>cell (V)</source>
        <translation>電芯（V）</translation>
    </message>
    <message>
        <source>cell (mV)</source>
        <translation>電芯（mV）</translation>
    </message>
    <message>
        <source>File not found.</source>
        <translation>找不到檔案。</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>這不是一般檔案。</translation>
    </message>
    <message>
        <source>It is larger than %1 MB.</source>
        <translation>檔案大於 %1 MB。</translation>
    </message>
    <message>
        <source>It holds no samples.</source>
        <translation>檔案中沒有樣本。</translation>
    </message>
    <message>
        <source>The current looks flipped: it is mostly negative while the voltage rises, or positive while it falls (a charge is positive here). Map its column as &quot;current (A, charge negative)&quot; if it is.</source>
        <translation>電流的正負號似乎顛倒了：電壓上升時電流大多為負，或電壓下降時電流為正（本程式以充電為正）。若是如此，請將該欄位對應為「電流（A，充電為負）」。</translation>
    </message>
    <message numerus="yes">
        <source>%n sample(s) in a second that had one already (a run keeps one a second)</source>
        <translation>
            <numerusform>%n 筆樣本與前一筆落在同一秒內（每秒只保留一筆）</numerusform>
        </translation>
    </message>
    <message>
        <source>before the header</source>
        <translation>在標題列之前</translation>
    </message>
    <message>
        <source>without &quot;$&quot; at the start</source>
        <translation>開頭沒有「$」</translation>
    </message>
    <message>
        <source>without a time</source>
        <translation>沒有時間</translation>
    </message>
    <message>
        <source>without a voltage</source>
        <translation>沒有電壓</translation>
    </message>
    <message>
        <source>whose time goes back</source>
        <translation>時間倒退</translation>
    </message>
    <message>
        <source>imported before, as %1.</source>
        <translation>先前已匯入為 %1。</translation>
    </message>
    <message>
        <source>not imported: %1</source>
        <translation>未匯入：%1</translation>
    </message>
    <message numerus="yes">
        <source>%n sample(s) taken into %1.</source>
        <translation>
            <numerusform>已將 %n 筆樣本匯入 %1。</numerusform>
        </translation>
    </message>
    <message>
        <source>Skipped: %1.</source>
        <translation>略過：%1。</translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) %1 (the first: line %2)</source>
        <translation>
            <numerusform>%n 行%1（最先於第 %2 行）</numerusform>
        </translation>
    </message>
    <message>
        <source>It is no text: it holds binary data.</source>
        <translation>這不是文字檔：內含二進位資料。</translation>
    </message>
    <message>
        <source>Line %1 is longer than %2 characters.</source>
        <translation>第 %1 行超過 %2 個字元。</translation>
    </message>
    <message>
        <source>No header line with columns of numbers below it was found.</source>
        <translation>找不到下方有數字欄位的標題列。</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>已取消。</translation>
    </message>
    <message>
        <source>No column is taken as the voltage.</source>
        <translation>沒有任何欄位被當作電壓。</translation>
    </message>
    <message>
        <source>Line %1: &quot;%2&quot; is no finite number.</source>
        <translation>第 %1 行：「%2」不是有限的數字。</translation>
    </message>
    <message>
        <source>Line %1: %2 is out of range.</source>
        <translation>第 %1 行：%2 超出範圍。</translation>
    </message>
    <message>
        <source>Importing logs…</source>
        <translation>正在匯入記錄檔…</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>匯入</translation>
    </message>
    <message>
        <source>What each column of %1 holds, after its first value:</source>
        <translation>%1 各欄位的內容（冒號後為第一個數值）：</translation>
    </message>
    <message>
        <source>%1 imported, %2 imported before, %3 not imported.</source>
        <translation>已匯入 %1 個，先前已匯入 %2 個，未匯入 %3 個。</translation>
    </message>
    <message numerus="yes">
        <source>… and %n more.</source>
        <translation>
            <numerusform>……另有 %n 個。</numerusform>
        </translation>
    </message>
    <message>
        <source>Logs(*.csv *.txt *.log *.gz)|*.csv *.txt *.log *.gz|All files(*.*)|*.*</source>
        <translation>記錄檔(*.csv *.txt *.log *.gz)|*.csv *.txt *.log *.gz|所有檔案(*.*)|*.*</translation>
    </message>
</context>
<context>
    <name>MDIForm1</name>
    <message>
        <source>Channel %1 on the panel</source>
        <translation>面板顯示通道 %1</translation>
    </message>
    <message>
        <source>1 run was still being recorded when chargemon last stopped. Open it?</source>
        <translation>chargemon 上次停止時，有 1 個充電記錄仍在記錄中。要開啟它嗎？</translation>
    </message>
    <message>
        <source>%1 runs were still being recorded when chargemon last stopped. Open them?</source>
        <translation>chargemon 上次停止時，有 %1 個充電記錄仍在記錄中。要開啟它們嗎？</translation>
    </message>
    <message>
        <source> (recovered)</source>
        <translation>（已復原）</translation>
    </message>
    <message>
        <source>%1: %2 samples recovered; the rest of its journal is damaged (%3).</source>
        <translation>%1：已復原 %2 筆樣本；其復原日誌的其餘部分已損毀（%3）。</translation>
    </message>
    <message>
        <source>The recovery journal %1 cannot be deleted and will not be offered again (%2).</source>
        <translation>無法刪除復原日誌 %1，之後不會再提示（%2）。</translation>
    </message>
    <message>
        <source>Unreadable recovery journals left alone in %1: %2.</source>
        <translation>%1 中無法讀取的復原日誌已保留不動：%2。</translation>
    </message>
    <message>
        <source>Unreadable recovery journals in %1, kept with names ending in &quot;.unreadable&quot;: %2.</source>
        <translation>%1 中無法讀取的復原日誌已保留，檔名改以「.unreadable」結尾：%2。</translation>
    </message>
</context>
<context>
    <name>MqttBroker</name>
    <message>
        <source>the password file %1 cannot be read (%2)</source>
        <translation>無法讀取密碼檔 %1 (%2)</translation>
    </message>
    <message>
        <source>the certificate authority file %1 cannot be used</source>
        <translation>無法使用憑證機構檔 %1</translation>
    </message>
    <message>
        <source>the station name &quot;%1&quot; cannot be used: it must not be empty nor hold /, + or #</source>
        <translation>無法使用站名 &quot;%1&quot;: 站名不可為空, 也不可含有 /、+ 或 #</translation>
    </message>
    <message>
        <source>connection lost</source>
        <translation>連線中斷</translation>
    </message>
    <message>
        <source>connection lost (%1)</source>
        <translation>連線中斷 (%1)</translation>
    </message>
    <message>
        <source>; is its certificate signed by %1?</source>
        <translation>；它的憑證是否由 %1 簽署？</translation>
    </message>
    <message>
        <source>no answer within %1 s</source>
        <translation>%1 秒內沒有回應</translation>
    </message>
</context>
<context>
    <name>MqttPublisher</name>
    <message>
        <source>no memory</source>
        <translation>記憶體不足</translation>
    </message>
    <message>
        <source>MQTT: publishing to %1 as %2</source>
        <translation>MQTT: 以 %2 發佈到 %1</translation>
    </message>
    <message>
        <source>MQTT: broker %1: %2; readings are not published until it answers, the recording goes on</source>
        <translation>MQTT: 代理伺服器 %1: %2; 在其回應前不發佈讀數, 記錄繼續進行</translation>
    </message>
    <message>
        <source>MQTT: %1; nothing is published</source>
        <translation>MQTT: %1; 不發佈任何內容</translation>
    </message>
</context>
<context>
    <name>MqttWatcher</name>
    <message>
        <source>%1 completed. You can save it now.</source>
        <translation>%1 已完成。現在可以儲存。</translation>
    </message>
    <message>
        <source>MQTT: broker %1: %2</source>
        <translation>MQTT: 代理伺服器 %1: %2</translation>
    </message>
    <message>
        <source>MQTT: broker %1 answers again.</source>
        <translation>MQTT: 代理伺服器 %1 已恢復回應。</translation>
    </message>
    <message>
        <source>MQTT: a message of %1 bytes on %2 is larger than a station sends: such messages are left out.</source>
        <translation>MQTT: %2 上一則 %1 位元組的訊息大於站台所會傳送的大小: 這類訊息不予採用。</translation>
    </message>
    <message>
        <source>MQTT: %1 has %2 runs open here: its next runs are left out until some of their windows are closed.</source>
        <translation>MQTT: %1 在此已開啟 %2 個記錄: 在關閉其中一些視窗之前, 其後續記錄不予採用。</translation>
    </message>
    <message>
        <source>MQTT: more than %3 stations on broker %1:%2: the others are left out.</source>
        <translation>MQTT: 代理伺服器 %1:%2 上的站台超過 %3 個: 其餘的不予採用。</translation>
    </message>
    <message>
        <source>%1 went offline: its CH%2 run ends unless it is back within %3 minutes.</source>
        <translation>%1 已離線: 除非在 %3 分鐘內恢復, 否則其 CH%2 記錄將結束。</translation>
    </message>
    <message>
        <source>MQTT: %1 sends readings whose time goes back: they are left out.</source>
        <translation>MQTT: %1 傳送的讀數時間倒退: 這些讀數不予採用。</translation>
    </message>
</context>
<context>
    <name>PackDetailsDialog</name>
    <message>
        <source>New pack</source>
        <translation>新增電池組</translation>
    </message>
    <message>
        <source>Pack %1</source>
        <translation>電池組 %1</translation>
    </message>
    <message>
        <source>not known</source>
        <translation>不明</translation>
    </message>
    <message>
        <source> mAh</source>
        <translation> mAh</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>Chemistry</source>
        <translation>電池種類</translation>
    </message>
    <message>
        <source>Cells in series</source>
        <translation>串聯電芯數</translation>
    </message>
    <message>
        <source>Rated capacity</source>
        <translation>額定容量</translation>
    </message>
    <message>
        <source>Maker</source>
        <translation>廠牌</translation>
    </message>
    <message>
        <source>Bought</source>
        <translation>購買日期</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>備註</translation>
    </message>
    <message>
        <source>Retired</source>
        <translation>已停用</translation>
    </message>
</context>
<context>
    <name>PackForecast</name>
    <message>
        <source>no forecast: %1 of the %2 full discharges needed</source>
        <translation>無法預測：完整放電僅 %1 次，需 %2 次</translation>
    </message>
    <message>
        <source>no forecast: the full discharges span no cycles</source>
        <translation>無法預測：完整放電未跨越任何循環</translation>
    </message>
    <message>
        <source>no forecast: capacity has not fallen a tenth of the way to %1 %</source>
        <translation>無法預測：容量下降尚未達到 %1 % 的十分之一</translation>
    </message>
    <message>
        <source>no forecast: the fade is not yet clear of the scatter</source>
        <translation>無法預測：衰退尚未明顯超出誤差</translation>
    </message>
    <message>
        <source>%1 % at about %2 cycles (%3–%4)</source>
        <translation>約於 %2 次循環降至 %1 %（%3–%4）</translation>
    </message>
    <message>
        <source>, around %1</source>
        <translation>，約在 %1</translation>
    </message>
    <message>
        <source>no forecast: %1 of the %2 resistances needed</source>
        <translation>無法預測：內阻量測僅 %1 次，需 %2 次</translation>
    </message>
    <message>
        <source>no forecast: the resistances span no cycles</source>
        <translation>無法預測：內阻量測未跨越任何循環</translation>
    </message>
    <message>
        <source>no forecast: the resistance has not risen a tenth of the way to %1 mΩ</source>
        <translation>無法預測：內阻上升尚未達到 %1 mΩ 的十分之一</translation>
    </message>
    <message>
        <source>no forecast: the rise is not yet clear of the scatter</source>
        <translation>無法預測：上升尚未明顯超出誤差</translation>
    </message>
    <message>
        <source>%1 mΩ at about %2 cycles (%3–%4)</source>
        <translation>約於 %2 次循環達到 %1 mΩ（%3–%4）</translation>
    </message>
    <message>
        <source>MMMM yyyy</source>
        <translation>yyyy年M月</translation>
    </message>
    <message>
        <source>far beyond the data</source>
        <translation>遠超出資料範圍</translation>
    </message>
</context>
<context>
    <name>PackLabels</name>
    <message>
        <source>The battery book has no packs yet: open it once to gather the runs.</source>
        <translation>電池簿尚無電池組：請先開啟一次電池簿以收集記錄。</translation>
    </message>
    <message>
        <source>PDF file(*.pdf)|*.pdf</source>
        <translation>PDF 檔案(*.pdf)|*.pdf</translation>
    </message>
    <message>
        <source>The labels were not written to %1</source>
        <translation>標籤未能寫入 %1</translation>
    </message>
    <message>
        <source>%1S</source>
        <translation>%1S</translation>
    </message>
    <message>
        <source>%1 mAh</source>
        <translation>%1 mAh</translation>
    </message>
    <message>
        <source>Pack labels</source>
        <translation>電池標籤</translation>
    </message>
</context>
<context>
    <name>PortSearch</name>
    <message>
        <source>Cannot open %1: it is in use by another program.</source>
        <translation>無法開啟 %1：正由其他程式使用中。</translation>
    </message>
    <message>
        <source>Only the first %1 serial ports are searched; left out: %2.</source>
        <translation>只搜尋前 %1 個序列埠；未搜尋：%2。</translation>
    </message>
    <message>
        <source>Cannot open %1: permission denied. Add your user to the dialout group (sudo usermod -aG dialout %2), then log out and back in.</source>
        <translation>無法開啟 %1：權限不足。請將您的使用者加入 dialout 群組（sudo usermod -aG dialout %2），然後登出再重新登入。</translation>
    </message>
    <message>
        <source>Cannot open %1: permission denied. You are in the dialout group, but not yet in this login: log out and back in.</source>
        <translation>無法開啟 %1：權限不足。您已在 dialout 群組中，但本次登入尚未生效：請登出再重新登入。</translation>
    </message>
    <message>
        <source>Cannot open %1: permission denied.</source>
        <translation>無法開啟 %1：權限不足。</translation>
    </message>
    <message>
        <source>You are in the dialout group, so something else keeps the port from you: another program holding it, ModemManager probing it as a modem, or a udev rule that gives it another group (ls -l %1 shows its group).</source>
        <translation>您已在 dialout 群組中，所以是其他原因使您無法使用此連接埠：另一個程式正佔用它、ModemManager 正把它當作數據機探測，或某條 udev 規則讓它屬於其他群組（ls -l %1 可看出它的群組）。</translation>
    </message>
    <message>
        <source>A USB serial adapter came and went at once: brltty, the braille display service, may be taking it. Without a braille display, remove it (sudo apt remove brltty) and plug the adapter in again.</source>
        <translation>USB 序列轉接器一出現就消失了：點字顯示器服務 brltty 可能佔用了它。若未使用點字顯示器，請移除它（sudo apt remove brltty）後重新插上轉接器。</translation>
    </message>
</context>
<context>
    <name>Pushes</name>
    <message>
        <source>ntfy: the token file %1 cannot be read (%2); pushing without it</source>
        <translation>ntfy：無法讀取權杖檔 %1 (%2)，不帶權杖推送</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an ntfy topic&apos;s address (SERVER/TOPIC)</source>
        <translation>「%1」不是 ntfy 主題的位址（伺服器/主題）</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a webhook&apos;s address (http:// or https://)</source>
        <translation>「%1」不是 webhook 的位址（http:// 或 https://）</translation>
    </message>
</context>
<context>
    <name>QtCommandBar</name>
    <message>
        <source>Status bar</source>
        <translation>狀態列</translation>
    </message>
</context>
<context>
    <name>Report</name>
    <message>
        <source>Run %1</source>
        <translation>記錄 %1</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>摘要</translation>
    </message>
    <message>
        <source>Internal resistance</source>
        <translation>內阻</translation>
    </message>
    <message>
        <source>Pack %1</source>
        <translation>電池組 %1</translation>
    </message>
    <message>
        <source>Pack #%1 %2</source>
        <translation>電池組 #%1 %2</translation>
    </message>
    <message>
        <source>Capacity and resistance</source>
        <translation>容量與內阻</translation>
    </message>
    <message>
        <source>Runs</source>
        <translation>記錄</translation>
    </message>
    <message>
        <source>en</source>
        <comment>the language tag of the report&apos;s texts</comment>
        <translation>zh-Hant-TW</translation>
    </message>
    <message>
        <source>chargemon report</source>
        <translation>chargemon 報告</translation>
    </message>
    <message>
        <source>Web page(*.html)|*.html|All files(*.*)|*.*</source>
        <translation>網頁(*.html)|*.html|所有檔案(*.*)|*.*</translation>
    </message>
    <message>
        <source>The report was not written to %1<byte value="xd"/>
%2</source>
        <translation>報告未能寫入 %1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Report saved as %1</source>
        <translation>報告已儲存為 %1</translation>
    </message>
</context>
<context>
    <name>Run</name>
    <message>
        <source>Sample %1 has no value in %2.</source>
        <translation>第 %1 筆樣本的 %2 沒有數值。</translation>
    </message>
    <message>
        <source>is kept safe against a crash again.</source>
        <translation>已再次受到當機保護。</translation>
    </message>
    <message>
        <source>cannot be kept safe against a crash: its recovery journal cannot be written (%1). Save it when it ends.</source>
        <translation>無法受到當機保護：無法寫入其復原日誌（%1）。請在結束後儲存。</translation>
    </message>
    <message>
        <source>Communication connected.Now receive data from charger.</source>
        <translation>通訊已連線，正在接收充電器的資料。</translation>
    </message>
    <message>
        <source>Completed. You can save it now.</source>
        <translation>已完成，現在可以儲存。</translation>
    </message>
</context>
<context>
    <name>RunFile</name>
    <message>
        <source>Saving %1</source>
        <translation>正在儲存 %1</translation>
    </message>
</context>
<context>
    <name>RunNotices</name>
    <message>
        <source>CH%1: pack temperature %2 °C, at or above the limit of %3 °C</source>
        <translation>CH%1：電池溫度 %2 °C，已達或超過上限 %3 °C</translation>
    </message>
    <message>
        <source>No desktop notification service was found (%1).</source>
        <translation>找不到桌面通知服務（%1）。</translation>
    </message>
    <message>
        <source>CH%1: cycle complete: %2 mAh in %3</source>
        <translation>CH%1：循環完成：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: charge complete: %2 mAh in %3</source>
        <translation>CH%1：充電完成：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: discharge complete: %2 mAh in %3</source>
        <translation>CH%1：放電完成：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: the cells ended the charge %2 V apart</source>
        <translation>CH%1：充電結束時電芯電壓相差 %2 V</translation>
    </message>
    <message>
        <source>CH%1: charger lost during the charge: %2 mAh in %3</source>
        <translation>CH%1：充電中與充電器的連線中斷：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: charger lost during the discharge: %2 mAh in %3</source>
        <translation>CH%1：放電中與充電器的連線中斷：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: charger lost during the cycle: %2 mAh in %3</source>
        <translation>CH%1：循環中與充電器的連線中斷：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: station lost during the charge: %2 mAh in %3</source>
        <translation>CH%1：充電中與工作站的連線中斷：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: station lost during the discharge: %2 mAh in %3</source>
        <translation>CH%1：放電中與工作站的連線中斷：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: station lost during the cycle: %2 mAh in %3</source>
        <translation>CH%1：循環中與工作站的連線中斷：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: recording stopped during the charge: %2 mAh in %3</source>
        <translation>CH%1：充電中記錄已停止：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: recording stopped during the discharge: %2 mAh in %3</source>
        <translation>CH%1：放電中記錄已停止：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: recording stopped during the cycle: %2 mAh in %3</source>
        <translation>CH%1：循環中記錄已停止：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: charge interrupted (the samples stopped or the capacity went back): %2 mAh in %3</source>
        <translation>CH%1：充電中斷（讀數停止或容量倒退）：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: discharge interrupted (the samples stopped or the capacity went back): %2 mAh in %3</source>
        <translation>CH%1：放電中斷（讀數停止或容量倒退）：%2 mAh，歷時 %3</translation>
    </message>
    <message>
        <source>CH%1: cycle interrupted (the samples stopped or the capacity went back): %2 mAh in %3</source>
        <translation>CH%1：循環中斷（讀數停止或容量倒退）：%2 mAh，歷時 %3</translation>
    </message>
</context>
<context>
    <name>RunOpening</name>
    <message>
        <source>Opening %1</source>
        <translation>正在開啟 %1</translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message>
        <source>Charged %1 mAh %2 Wh</source>
        <translation>充入 %1 mAh %2 Wh</translation>
    </message>
    <message>
        <source>Discharged %1 mAh %2 Wh</source>
        <translation>放出 %1 mAh %2 Wh</translation>
    </message>
    <message>
        <source>Avg %1 A  Peak %2 A</source>
        <translation>平均 %1 A  峰值 %2 A</translation>
    </message>
    <message>
        <source>Ext max %1℃</source>
        <translation>外部最高 %1℃</translation>
    </message>
    <message>
        <source>Int max %1℃</source>
        <translation>內部最高 %1℃</translation>
    </message>
    <message>
        <source>Cell spread %1 V @%2</source>
        <translation>電芯壓差 %1 V @%2</translation>
    </message>
    <message>
        <source>DCIR at 0.2C → 1C over %1 s</source>
        <translation>直流內阻，0.2C → 1C，歷時 %1 秒</translation>
    </message>
    <message>
        <source>R estimate, %1 A → %2 A step over %3 s</source>
        <translation>內阻估計，%1 A → %2 A 階躍，歷時 %3 秒</translation>
    </message>
    <message>
        <source>step too small: %1 A gives ± %2 % for a pack of %3 mΩ</source>
        <translation>階躍太小：%1 A 對 %3 mΩ 的電池組誤差達 ± %2 %</translation>
    </message>
    <message>
        <source>DCIR %1 at 0.2C → 1C over %2 s</source>
        <translation>直流內阻 %1，0.2C → 1C，歷時 %2 秒</translation>
    </message>
</context>
<context>
    <name>StationWatch</name>
    <message>
        <source>MQTT broker (host[:port]):</source>
        <translation>MQTT 代理伺服器(主機[:埠]):</translation>
    </message>
    <message>
        <source>Watch station</source>
        <translation>觀看工作站</translation>
    </message>
    <message>
        <source>MQTT: &quot;%1&quot; is not a broker: write its host, or host:port.</source>
        <translation>MQTT: 「%1」不是代理伺服器: 請輸入主機,或 主機:埠。</translation>
    </message>
    <message>
        <source>MQTT: asking %1:%2 for its stations…</source>
        <translation>MQTT: 正在向 %1:%2 查詢工作站…</translation>
    </message>
    <message>
        <source>No station is online yet. Station:</source>
        <translation>目前沒有工作站在線。工作站:</translation>
    </message>
    <message>
        <source>Station:</source>
        <translation>工作站:</translation>
    </message>
    <message>
        <source>MQTT: no station is watched.</source>
        <translation>MQTT: 沒有正在觀看的工作站。</translation>
    </message>
    <message>
        <source>Stop watching</source>
        <translation>停止觀看</translation>
    </message>
    <message>
        <source>MQTT: %1 is no longer watched.</source>
        <translation>MQTT: 已停止觀看 %1。</translation>
    </message>
</context>
<context>
    <name>StatusLamp</name>
    <message>
        <source>Charger connected</source>
        <translation>充電器已連接</translation>
    </message>
    <message>
        <source>Data received</source>
        <translation>收到資料</translation>
    </message>
    <message>
        <source>on</source>
        <translation>亮</translation>
    </message>
    <message>
        <source>off</source>
        <translation>滅</translation>
    </message>
</context>
<context>
    <name>Tips</name>
    <message>
        <source>Tips</source>
        <translation>小提示</translation>
    </message>
    <message>
        <source>Name the pack.</source>
        <translation>為電池組命名。</translation>
    </message>
    <message>
        <source>Use Title before saving, so the file says which battery it was.</source>
        <translation>存檔前先用「標題」寫下說明，檔案就記得是哪顆電池。</translation>
    </message>
    <message>
        <source>Save every run.</source>
        <translation>每筆記錄都要保存。</translation>
    </message>
    <message>
        <source>Nothing is saved by itself; an ended window waits for Save.</source>
        <translation>程式不會自動保存；結束的視窗會等您按「保存」。</translation>
    </message>
    <message>
        <source>Compare runs.</source>
        <translation>比較記錄。</translation>
    </message>
    <message>
        <source>Open older run files next to a live one and tile the windows.</source>
        <translation>在即時記錄旁開啟舊的記錄檔案，再並排視窗。</translation>
    </message>
    <message>
        <source>Read values.</source>
        <translation>讀取數值。</translation>
    </message>
    <message>
        <source>Press CrossLine and move over the chart; the panel shows that moment.</source>
        <translation>按下「十字線」後在圖表上移動，面板會顯示該時刻的數值。</translation>
    </message>
    <message>
        <source>Full screen.</source>
        <translation>全螢幕。</translation>
    </message>
    <message>
        <source>Double-click a chart; double-click again to return.</source>
        <translation>按兩下圖表即全螢幕顯示；再按兩下返回。</translation>
    </message>
    <message>
        <source>Cells.</source>
        <translation>電芯。</translation>
    </message>
    <message>
        <source>Plug in the balance lead to see each cell&apos;s voltage on the panel.</source>
        <translation>接上平衡線，面板即顯示每顆電芯的電壓。</translation>
    </message>
</context>
<context>
    <name>adform</name>
    <message>
        <source>Fold the side pane</source>
        <translation>收合側欄</translation>
    </message>
    <message>
        <source>Unfold the side pane</source>
        <translation>展開側欄</translation>
    </message>
</context>
<context>
    <name>tee</name>
    <message>
        <source>The CSV file was not written to %1<byte value="xd"/>
%2</source>
        <translation>CSV 檔案未寫入 %1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>The run was not saved to %1<byte value="xd"/>
%2</source>
        <translation>充電記錄未儲存到 %1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>#%1 is no pack of the battery book yet.</source>
        <translation>#%1 尚非電池簿中的電池組。</translation>
    </message>
    <message>
        <source>Pack #%1: %2</source>
        <translation>電池組 #%1：%2</translation>
    </message>
    <message>
        <source>#%1 is no pack of the battery book; the description stays as it was.</source>
        <translation>#%1 不是電池簿中的電池組；描述保持不變。</translation>
    </message>
    <message>
        <source>#%1 does not fit in the description.</source>
        <translation>#%1 放不進描述。</translation>
    </message>
</context>
</TS>
