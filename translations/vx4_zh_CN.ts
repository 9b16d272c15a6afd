<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>BusEvents</name>
    <message>
        <source>The amplifier answers</source>
        <translation>功放应答</translation>
    </message>
    <message>
        <source>The amplifier does not answer</source>
        <translation>功放无应答</translation>
    </message>
    <message>
        <source>Equipment state: %1</source>
        <translation>设备状态：%1</translation>
    </message>
    <message>
        <source>The amplifier reports a fault: %1</source>
        <translation>功放报告故障：%1</translation>
    </message>
    <message>
        <source>The amplifier reports temperature protection: %1</source>
        <translation>功放报告温度保护：%1</translation>
    </message>
</context>
<context>
    <name>CDorvaneDlg</name>
    <message>
        <source>Tools</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Save as</source>
        <translation>另存为</translation>
    </message>
    <message>
        <source>Open the PC file</source>
        <translation>打开PC存档</translation>
    </message>
    <message>
        <source>Synchronized to this Device</source>
        <translation>同步到当前机器</translation>
    </message>
    <message>
        <source>Synchronized to all Device</source>
        <translation>同步到所有机器</translation>
    </message>
    <message>
        <source>Save/Recall</source>
        <translation>Save/Recall</translation>
    </message>
    <message>
        <source>A/V/℃ Refresh rate</source>
        <translation>A/V/℃刷新速度</translation>
    </message>
    <message>
        <source>Refresh off</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>1 fast</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>5 slow</source>
        <translation>5</translation>
    </message>
    <message>
        <source>EQ response</source>
        <translation>EQ响应曲线</translation>
    </message>
    <message>
        <source>Crossover response</source>
        <translation>分频响应曲线</translation>
    </message>
    <message>
        <source>Power TEMP</source>
        <translation>电源温度</translation>
    </message>
    <message>
        <source>Knob lock</source>
        <translation>旋钮锁定</translation>
    </message>
    <message>
        <source>RESET</source>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <source>Boot</source>
        <translation>开机</translation>
    </message>
    <message>
        <source>Standby</source>
        <translation>关机</translation>
    </message>
    <message>
        <source>Connection status：</source>
        <translation>连接状态：</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>连接图标</translation>
    </message>
    <message>
        <source>Connection status</source>
        <translation>连接状态</translation>
    </message>
    <message>
        <source>, bypassed</source>
        <translation>，已旁通</translation>
    </message>
    <message>
        <source>Channel %1: high-pass %2 at %3 Hz, low-pass %4 at %5 Hz</source>
        <translation>通道%1：高通 %2，%3 Hz；低通 %4，%5 Hz</translation>
    </message>
    <message>
        <source>Channel %1, band %2: %3, %4 Hz, %5 dB, Q %6</source>
        <translation>通道%1，第%2段：%3，%4 Hz，%5 dB，Q %6</translation>
    </message>
    <message>
        <source>Channel %1, band %2: %3, %4 Hz, Q %5</source>
        <translation>通道%1，第%2段：%3，%4 Hz，Q %5</translation>
    </message>
    <message>
        <source>Channel %1, band %2: %3, %4 Hz</source>
        <translation>通道%1，第%2段：%3，%4 Hz</translation>
    </message>
    <message>
        <source>Preset file loaded</source>
        <translation>已载入PC存档</translation>
    </message>
    <message>
        <source>Preset slot %1 recalled</source>
        <translation>已读取存档位%1</translation>
    </message>
    <message>
        <source>Factory reset</source>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <source>Status: %1</source>
        <translation>状态：%1</translation>
    </message>
    <message>
        <source>The editor is connected</source>
        <translation>编辑器已连接</translation>
    </message>
    <message>
        <source>The editor lost the amplifier: its polls went unanswered</source>
        <translation>编辑器与功放失去连接：查询无应答</translation>
    </message>
    <message>
        <source>The amplifier is switched on</source>
        <translation>功放已开机</translation>
    </message>
    <message>
        <source>The amplifier goes to standby</source>
        <translation>功放进入待机</translation>
    </message>
</context>
<context>
    <name>CMscomm1</name>
    <message>
        <source>The settings &quot;%1&quot; are not valid: give the baud rate followed by &quot;,n,8,1&quot;.</source>
        <translation>设置“%1”无效：请给出波特率，后接“,n,8,1”。</translation>
    </message>
    <message>
        <source>Port number %1 is not valid.</source>
        <translation>端口号 %1 无效。</translation>
    </message>
    <message>
        <source>There is no port COM%1.</source>
        <translation>没有端口 COM%1。</translation>
    </message>
    <message>
        <source>The port %1 is already open in this program.</source>
        <translation>端口 %1 已在本程序中打开。</translation>
    </message>
    <message>
        <source>The port %1 is not present: %2.</source>
        <translation>端口 %1 不存在：%2。</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program: %2.</source>
        <translation>端口 %1 正被其他程序占用：%2。</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program.</source>
        <translation>端口 %1 正被其他程序占用。</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened: %2.</source>
        <translation>无法打开端口 %1：%2。</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened: %2. Members of the group &quot;%3&quot; may use it; add the user to that group and log in again.</source>
        <translation>无法打开端口 %1：%2。只有“%3”组的成员可以使用它；请把用户加入该组并重新登录。</translation>
    </message>
    <message>
        <source>The port %1 does not accept %2 baud: %3.</source>
        <translation>端口 %1 不支持 %2 波特：%3。</translation>
    </message>
    <message>
        <source>The port %1 was lost: %2.</source>
        <translation>端口 %1 已断开：%2。</translation>
    </message>
    <message>
        <source>The port %1 is not open.</source>
        <translation>端口 %1 未打开。</translation>
    </message>
    <message>
        <source>The port is not open.</source>
        <translation>端口未打开。</translation>
    </message>
    <message>
        <source>Writing to the port %1 failed: %2.</source>
        <translation>写入端口 %1 失败：%2。</translation>
    </message>
    <message>
        <source>the device does not exist</source>
        <translation>设备不存在</translation>
    </message>
    <message>
        <source>the device is busy</source>
        <translation>设备忙</translation>
    </message>
    <message>
        <source>no permission to use it</source>
        <translation>没有访问权限</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>输入/输出错误</translation>
    </message>
    <message>
        <source>system error %1</source>
        <translation>系统错误 %1</translation>
    </message>
    <message>
        <source>the device is already open</source>
        <translation>设备已打开</translation>
    </message>
    <message>
        <source>write error</source>
        <translation>写入错误</translation>
    </message>
    <message>
        <source>read error</source>
        <translation>读取错误</translation>
    </message>
    <message>
        <source>the device is no longer available</source>
        <translation>设备已不可用</translation>
    </message>
    <message>
        <source>the device does not support the setting</source>
        <translation>设备不支持该设置</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>超时</translation>
    </message>
    <message>
        <source>the port is not open</source>
        <translation>端口未打开</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>未知错误</translation>
    </message>
</context>
<context>
    <name>ChannelColumns</name>
    <message>
        <source>Mute</source>
        <translation>静音</translation>
    </message>
    <message>
        <source>Vol(dB)</source>
        <translation>音量(dB)</translation>
    </message>
    <message>
        <source>%1 value</source>
        <translation>%1 数值</translation>
    </message>
    <message>
        <source>Invert</source>
        <translation>反相</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>电压</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>电流</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>功放温度</translation>
    </message>
</context>
<context>
    <name>CopyChannelDialog</name>
    <message>
        <source>Copy channel</source>
        <translation>复制通道</translation>
    </message>
    <message>
        <source>From</source>
        <translation>从</translation>
    </message>
    <message>
        <source>To</source>
        <translation>到</translation>
    </message>
    <message>
        <source>To %1</source>
        <translation>到 %1</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>EQ bands and EQ Bypass</source>
        <translation>EQ各段和EQ Bypass</translation>
    </message>
    <message>
        <source>Crossover</source>
        <translation>分频</translation>
    </message>
    <message>
        <source>Limiter</source>
        <translation>压限器</translation>
    </message>
    <message>
        <source>Gain, delay, volume, mute, polarity</source>
        <translation>增益、延时、音量、静音、反相</translation>
    </message>
</context>
<context>
    <name>CrossoverGroup</name>
    <message>
        <source>General filter</source>
        <translation>通用滤波器</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>Crossover Channel</source>
        <translation>分频通道</translation>
    </message>
    <message>
        <source>High-pass filter type</source>
        <translation>高通滤波器类型</translation>
    </message>
    <message>
        <source>Low-pass filter type</source>
        <translation>低通滤波器类型</translation>
    </message>
    <message>
        <source>High-pass filter frequency(Hz)</source>
        <translation>高通滤波器频率(Hz)</translation>
    </message>
    <message>
        <source>Low-pass filter frequency(Hz)</source>
        <translation>低通滤波器频率(Hz)</translation>
    </message>
    <message>
        <source> arrows</source>
        <translation>调节</translation>
    </message>
</context>
<context>
    <name>EditMenu</name>
    <message>
        <source>on</source>
        <translation>开</translation>
    </message>
    <message>
        <source>off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>bridged</source>
        <translation>桥接</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>History…</source>
        <translation>历史记录…</translation>
    </message>
    <message>
        <source>Compare A/B</source>
        <translation>A/B 比较</translation>
    </message>
    <message>
        <source>Copy A to B</source>
        <translation>复制 A 到 B</translation>
    </message>
    <message>
        <source>Copy B to A</source>
        <translation>复制 B 到 A</translation>
    </message>
    <message>
        <source>Copy channel…</source>
        <translation>复制通道…</translation>
    </message>
    <message>
        <source>Settings shown</source>
        <translation>当前设置</translation>
    </message>
    <message>
        <source>Vol(dB)</source>
        <translation>音量(dB)</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>静音</translation>
    </message>
    <message>
        <source>Invert</source>
        <translation>反相</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <source>Delay(us)</source>
        <translation>延时(us)</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>输入源</translation>
    </message>
    <message>
        <source>OUT</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>电源</translation>
    </message>
    <message>
        <source>Knob lock</source>
        <translation>旋钮锁定</translation>
    </message>
    <message>
        <source>High-pass filter type</source>
        <translation>高通滤波器类型</translation>
    </message>
    <message>
        <source>Low-pass filter type</source>
        <translation>低通滤波器类型</translation>
    </message>
    <message>
        <source>High-pass filter frequency</source>
        <translation>高通滤波器频率</translation>
    </message>
    <message>
        <source>Low-pass filter frequency</source>
        <translation>低通滤波器频率</translation>
    </message>
    <message>
        <source>Attack</source>
        <translation>启动时间</translation>
    </message>
    <message>
        <source>Release</source>
        <translation>恢复时间</translation>
    </message>
    <message>
        <source>Threshold(dBu)</source>
        <translation>门限(dBu)</translation>
    </message>
    <message>
        <source>EQ Bypass</source>
        <translation>EQ Bypass</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>boost</source>
        <translation>boost</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>Filter type</source>
        <translation>滤波器类型</translation>
    </message>
    <message>
        <source>band %1</source>
        <translation>第%1段</translation>
    </message>
    <message>
        <source>EQ %1 %2 %3</source>
        <translation>EQ %1 %2 %3</translation>
    </message>
    <message>
        <source>The amplifier&apos;s settings were changed elsewhere; the history starts anew from what it holds now.</source>
        <translation>功放的设置已在别处被修改；历史记录从功放现在的设置重新开始。</translation>
    </message>
    <message>
        <source>As read from the amplifier</source>
        <translation>从功放读取的设置</translation>
    </message>
    <message>
        <source>Copy %1 to %2</source>
        <translation>复制 %1 到 %2</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>撤销 %1</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>重做 %1</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n values</source>
        <translation>
            <numerusform>%1：%n 个值</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n values</source>
        <translation>
            <numerusform>%n 个值</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>EditorSession</name>
    <message>
        <source>The connection is successful</source>
        <translation>连接成功</translation>
    </message>
    <message>
        <source>The connection fails</source>
        <translation>连接失败</translation>
    </message>
</context>
<context>
    <name>EqExportDialog</name>
    <message>
        <source>Export EQ</source>
        <translation>导出EQ</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>格式</translation>
    </message>
    <message>
        <source>REW filter settings</source>
        <translation>REW 滤波器设置</translation>
    </message>
    <message>
        <source>Equalizer APO configuration</source>
        <translation>Equalizer APO 配置</translation>
    </message>
    <message>
        <source>Text to be written</source>
        <translation>将写入的文本</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>保存…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>EqFile</name>
    <message>
        <source>the file holds no filter lines</source>
        <translation>文件中没有滤波器行</translation>
    </message>
    <message>
        <source>a colon is missing after &quot;Filter %1&quot;</source>
        <translation>“Filter %1”后缺少冒号</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no filter number</source>
        <translation>“%1”不是滤波器编号</translation>
    </message>
    <message>
        <source>ON or OFF is missing</source>
        <translation>缺少 ON 或 OFF</translation>
    </message>
    <message>
        <source>ON or OFF expected, found &quot;%1&quot;</source>
        <translation>应为 ON 或 OFF，却是“%1”</translation>
    </message>
    <message>
        <source>the filter type is missing</source>
        <translation>缺少滤波器类型</translation>
    </message>
    <message>
        <source>%1 needs a number</source>
        <translation>%1 需要一个数值</translation>
    </message>
    <message>
        <source>%1 must be above zero</source>
        <translation>%1 必须大于零</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not understood</source>
        <translation>无法识别“%1”</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 给出了两次</translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation>缺少 %1</translation>
    </message>
    <message>
        <source>the preamp needs a number in dB, found &quot;%1&quot;</source>
        <translation>前级增益需要以 dB 为单位的数值，却是“%1”</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no filter line</source>
        <translation>“%1”不是滤波器行</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>第 %1 行：%2</translation>
    </message>
    <message>
        <source>band %1: frequency %2 Hz limited to %3 Hz</source>
        <translation>第 %1 段：频率 %2 Hz 限制为 %3 Hz</translation>
    </message>
    <message>
        <source>band %1: frequency %2 Hz rounded to %3 Hz</source>
        <translation>第 %1 段：频率 %2 Hz 取整为 %3 Hz</translation>
    </message>
    <message>
        <source>band %1: gain %2 dB limited to %3 dB</source>
        <translation>第 %1 段：增益 %2 dB 限制为 %3 dB</translation>
    </message>
    <message>
        <source>band %1: gain %2 dB rounded to %3 dB</source>
        <translation>第 %1 段：增益 %2 dB 舍入为 %3 dB</translation>
    </message>
    <message>
        <source>band %1: Q %2 limited to %3</source>
        <translation>第 %1 段：Q %2 限制为 %3</translation>
    </message>
    <message>
        <source>band %1: Q %2 cut to %3</source>
        <translation>第 %1 段：Q %2 截为 %3</translation>
    </message>
    <message>
        <source>band %1: slope %2 dB per octave taken as Q %3</source>
        <translation>第 %1 段：斜率每倍频程 %2 dB 换算为 Q %3</translation>
    </message>
    <message>
        <source>band %1: bandwidth %2 octaves taken as Q %3</source>
        <translation>第 %1 段：带宽 %2 个倍频程换算为 Q %3</translation>
    </message>
    <message>
        <source>band %1: no Q given, Q %2 taken</source>
        <translation>第 %1 段：未给出 Q，取 Q %2</translation>
    </message>
    <message>
        <source>line %1: the filter type %2 has no counterpart in the amplifier and is not imported</source>
        <translation>第 %1 行：功放没有 %2 类型的滤波器，未导入</translation>
    </message>
    <message>
        <source>line %1: the amplifier has %2 bands; this %3 filter is not imported</source>
        <translation>第 %1 行：功放只有 %2 段，此 %3 滤波器未导入</translation>
    </message>
    <message>
        <source>line %1: the preamp of %2 dB is not applied</source>
        <translation>第 %1 行：前级增益 %2 dB 未应用</translation>
    </message>
    <message>
        <source>line %1: &quot;%2:&quot; is not imported</source>
        <translation>第 %1 行：“%2:”未导入</translation>
    </message>
    <message>
        <source>EQ Bypass is on for this channel: the bands are not heard until it is turned off</source>
        <translation>此通道的 EQ Bypass 已开启：关闭之前听不到这些段</translation>
    </message>
    <message>
        <source>The curve differs from the file's filters by at most %1 dB (at %2 Hz).</source>
        <translation>曲线与文件中的滤波器最多相差 %1 dB（在 %2 Hz 处）。</translation>
    </message>
    <message>
        <source>The curve matches the file's filters.</source>
        <translation>曲线与文件中的滤波器一致。</translation>
    </message>
    <message numerus="yes">
        <source>%n filter(s) of unknown response are left out of the comparison.</source>
        <translation>
            <numerusform>%n 个响应未知的滤波器未参与比较。</numerusform>
        </translation>
    </message>
    <message>
        <source>Cannot read %1: %2.</source>
        <translation>无法读取 %1：%2。</translation>
    </message>
    <message>
        <source>Cannot import %1: %2.</source>
        <translation>无法导入 %1：%2。</translation>
    </message>
    <message>
        <source>Cannot save %1: %2.</source>
        <translation>无法保存 %1：%2。</translation>
    </message>
</context>
<context>
    <name>EqFileActions</name>
    <message>
        <source>Import EQ…</source>
        <translation>导入EQ…</translation>
    </message>
    <message>
        <source>Export EQ…</source>
        <translation>导出EQ…</translation>
    </message>
    <message>
        <source>Import EQ</source>
        <translation>导入EQ</translation>
    </message>
    <message>
        <source>Export EQ</source>
        <translation>导出EQ</translation>
    </message>
    <message>
        <source>Filter text (*.txt);;All files (*)</source>
        <translation>滤波器文本 (*.txt);;所有文件 (*)</translation>
    </message>
    <message>
        <source>Filter text (*.txt)</source>
        <translation>滤波器文本 (*.txt)</translation>
    </message>
    <message>
        <source>%1 Nothing was sent.</source>
        <translation>%1未发送任何内容。</translation>
    </message>
    <message>
        <source>%1 into %2</source>
        <translation>%1 导入 %2</translation>
    </message>
    <message>
        <source>Import EQ %1 to %2</source>
        <translation>导入EQ %1 到 %2</translation>
    </message>
    <message>
        <source>The EQ of %1 was written to %2.</source>
        <translation>%1 的 EQ 已写入 %2。</translation>
    </message>
    <message>
        <source>EQ file %1 imported into %2</source>
        <translation>EQ文件 %1 已导入 %2</translation>
    </message>
    <message>
        <source>EQ of %1 exported to %2</source>
        <translation>%1 的 EQ 已导出到 %2</translation>
    </message>
</context>
<context>
    <name>EqImportPreview</name>
    <message>
        <source>Import EQ</source>
        <translation>导入EQ</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>段</translation>
    </message>
    <message>
        <source>Filter type</source>
        <translation>滤波器类型</translation>
    </message>
    <message>
        <source>Frequency(Hz)</source>
        <translation>频率(Hz)</translation>
    </message>
    <message>
        <source>boost(dB)</source>
        <translation>boost(dB)</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>行</translation>
    </message>
    <message>
        <source>Bands after the import</source>
        <translation>导入后的各段</translation>
    </message>
    <message>
        <source>Changes to fit the amplifier</source>
        <translation>为适应功放所作的调整</translation>
    </message>
    <message>
        <source>None: every filter fits as it is.</source>
        <translation>无：每个滤波器都可原样导入。</translation>
    </message>
    <message>
        <source>Curve against the file</source>
        <translation>曲线与文件的比较</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>EqRow</name>
    <message>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>EQ Channel</source>
        <translation>EQ通道</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>段</translation>
    </message>
    <message>
        <source>boost(dB)</source>
        <translation>boost(dB)</translation>
    </message>
    <message>
        <source>Frequency(Hz)</source>
        <translation>频率(Hz)</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>Q arrows</source>
        <translation>Q调节</translation>
    </message>
    <message>
        <source>EQ Bypass</source>
        <translation>EQ Bypass</translation>
    </message>
    <message>
        <source>Filter type</source>
        <translation>滤波器类型</translation>
    </message>
    <message>
        <source>RESET-EQ</source>
        <translation>复位当前EQ</translation>
    </message>
    <message>
        <source>RESET-EQ %1</source>
        <translation>复位当前EQ %1</translation>
    </message>
</context>
<context>
    <name>EventLog</name>
    <message>
        <source>The event log %1 cannot be written (%2); events are not recorded.</source>
        <translation>事件日志 %1 无法写入（%2），事件不再记录。</translation>
    </message>
    <message>
        <source>The event log %1 cannot be read: %2.</source>
        <translation>无法读取事件日志 %1：%2。</translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation>它大于 %1 字节</translation>
    </message>
    <message>
        <source>it is no regular file</source>
        <translation>它不是普通文件</translation>
    </message>
    <message>
        <source>it is no event log</source>
        <translation>它不是事件日志</translation>
    </message>
    <message>
        <source>There is no event log %1.</source>
        <translation>没有事件日志 %1。</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>未知错误</translation>
    </message>
    <message>
        <source>it is a database of another program</source>
        <translation>它是另一个程序的数据库</translation>
    </message>
    <message>
        <source>The event log %1 could not be read; it was moved aside to %2 and a new one was started.</source>
        <translation>无法读取事件日志 %1，已将其移至 %2 并新建了一个日志。</translation>
    </message>
</context>
<context>
    <name>EventLogWindow</name>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>内容</translation>
    </message>
    <message>
        <source>Event log</source>
        <translation>事件日志</translation>
    </message>
    <message>
        <source>Amplifier</source>
        <translation>功放</translation>
    </message>
    <message>
        <source>All amplifiers</source>
        <translation>全部功放</translation>
    </message>
    <message>
        <source>All kinds</source>
        <translation>全部类型</translation>
    </message>
    <message>
        <source>Faults</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Edits</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>From</source>
        <translation>从</translation>
    </message>
    <message>
        <source>To</source>
        <translation>到</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>导出CSV…</translation>
    </message>
    <message>
        <source>The newest %1 events</source>
        <translation>最新的 %1 条事件</translation>
    </message>
    <message numerus="yes">
        <source>%n event(s)</source>
        <translation>
            <numerusform>%n 条事件</numerusform>
        </translation>
    </message>
    <message>
        <source>The events cannot be written to %1: %2</source>
        <translation>无法将事件写入 %1：%2</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>History</source>
        <translation>历史记录</translation>
    </message>
    <message>
        <source>Go to this step</source>
        <translation>回到这一步</translation>
    </message>
</context>
<context>
    <name>LimiterGroup</name>
    <message>
        <source>Limiter</source>
        <translation>压限器</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>Limiter Channel</source>
        <translation>压限通道</translation>
    </message>
    <message>
        <source>Threshold(dBu)</source>
        <translation>门限(dBu)</translation>
    </message>
    <message>
        <source>Attack(ms)</source>
        <translation>启动时间(ms)</translation>
    </message>
    <message>
        <source>Release(ms)</source>
        <translation>恢复时间(ms)</translation>
    </message>
    <message>
        <source>%1 value</source>
        <translation>%1 数值</translation>
    </message>
</context>
<context>
    <name>PresetActions</name>
    <message>
        <source>OpenSave</source>
        <translation>打开存档</translation>
    </message>
    <message>
        <source>File(*.save)</source>
        <translation>文件(*.save)</translation>
    </message>
    <message>
        <source>The amplifier did not answer; nothing was saved.</source>
        <translation>功放没有应答，未保存任何内容。</translation>
    </message>
    <message>
        <source>The file could not be saved: %1</source>
        <translation>文件无法保存：%1</translation>
    </message>
    <message>
        <source>Preset saved to %1</source>
        <translation>预设已保存到 %1</translation>
    </message>
    <message>
        <source>Preset %1 loaded into every amplifier</source>
        <translation>预设 %1 已载入所有功放</translation>
    </message>
    <message>
        <source>Preset %1 loaded</source>
        <translation>预设 %1 已载入</translation>
    </message>
</context>
<context>
    <name>RoutingBlock</name>
    <message>
        <source>CHA-B Mode</source>
        <translation>CHA-B模式控制</translation>
    </message>
    <message>
        <source>CHC-D Mode</source>
        <translation>CHC-D模式控制</translation>
    </message>
    <message>
        <source>Gain %1</source>
        <translation>增益%1</translation>
    </message>
    <message>
        <source>%1 value</source>
        <translation>%1 数值</translation>
    </message>
    <message>
        <source>Delay(us)</source>
        <translation>延时(us)</translation>
    </message>
    <message>
        <source>%1 OUT</source>
        <translation>%1输出</translation>
    </message>
</context>
<context>
    <name>Save_Recall</name>
    <message>
        <source>Number</source>
        <translation>存档序号</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>存档名称</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>All Empty</source>
        <translation>全存档清空</translation>
    </message>
    <message>
        <source>Load success</source>
        <translation>恢复成功</translation>
    </message>
    <message>
        <source>Input letters must be less than 16 characters less than 8</source>
        <translation>输入字母须小于16位汉字小于8位</translation>
    </message>
    <message>
        <source>Save success</source>
        <translation>保存完成</translation>
    </message>
    <message>
        <source>Empty the complete</source>
        <translation>清空完成</translation>
    </message>
    <message>
        <source>Slot %1 recalled</source>
        <translation>已调用存储位 %1</translation>
    </message>
    <message>
        <source>Stored in slot %1 as %2</source>
        <translation>已存入存储位 %1，名称 %2</translation>
    </message>
    <message>
        <source>Stored in slot %1; the name was too long to write</source>
        <translation>已存入存储位 %1；名称过长，未写入</translation>
    </message>
    <message>
        <source>Every slot cleared</source>
        <translation>已清空全部存储位</translation>
    </message>
</context>
<context>
    <name>RegularFile</name>
    <message>
        <source>there is no such file</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>没有访问权限</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>它是一个文件夹</translation>
    </message>
    <message>
        <source>the disk could not be read</source>
        <translation>无法读取磁盘</translation>
    </message>
    <message>
        <source>system error %1</source>
        <translation>系统错误 %1</translation>
    </message>
    <message>
        <source>it is no regular file</source>
        <translation>它不是普通文件</translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation>它大于 %1 字节</translation>
    </message>
</context>
<context>
    <name>SerialPorts</name>
    <message>
        <source>Serial port</source>
        <translation>串口</translation>
    </message>
</context>
<context>
    <name>ShowCompareWindow</name>
    <message>
        <source>Send show: %1</source>
        <translation>发送演出：%1</translation>
    </message>
    <message>
        <source>Compare with show: %1</source>
        <translation>与演出比较：%1</translation>
    </message>
    <message>
        <source>Differences</source>
        <translation>差异</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>Amplifier</source>
        <translation>功放</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>演出</translation>
    </message>
    <message>
        <source>Send progress</source>
        <translation>发送进度</translation>
    </message>
    <message>
        <source>Send checked</source>
        <translation>发送所选</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>did not answer</source>
        <translation>没有应答</translation>
    </message>
    <message>
        <source>in sync</source>
        <translation>已同步</translation>
    </message>
    <message>
        <source>1 difference</source>
        <translation>1 处不同</translation>
    </message>
    <message>
        <source>%1 differences</source>
        <translation>%1 处不同</translation>
    </message>
    <message>
        <source>Every amplifier agrees with the show.</source>
        <translation>所有功放都与演出一致。</translation>
    </message>
    <message>
        <source>%1 of %2 amplifiers differ from the show; %3 did not answer.</source>
        <translation>%2 台功放中有 %1 台与演出不同；%3 台没有应答。</translation>
    </message>
</context>
<context>
    <name>SkinnedFrame</name>
    <message>
        <source>Restore</source>
        <translation>还原</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>最大化</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>UserDialogs</name>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Don&apos;t save</source>
        <translation>不保存</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>XiuGai</name>
    <message>
        <source>Restore the factory Settings?</source>
        <translation>是否恢复出厂设置？</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ZhuYe</name>
    <message>
        <source>Device table</source>
        <translation>设备表</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Search progress</source>
        <translation>搜索进度</translation>
    </message>
    <message>
        <source>Cell editor</source>
        <translation>单元格编辑框</translation>
    </message>
    <message>
        <source>The amplifiers answer on %1 at %2 baud</source>
        <translation>功放在 %1 上以 %2 波特率应答</translation>
    </message>
    <message>
        <source>The port %1 is gone</source>
        <translation>端口 %1 已移除</translation>
    </message>
    <message>
        <source>Found at address %1</source>
        <translation>在地址 %1 找到</translation>
    </message>
    <message>
        <source>Deleted from the device list</source>
        <translation>已从设备列表删除</translation>
    </message>
    <message>
        <source>Address %1 changed to %2</source>
        <translation>地址 %1 已改为 %2</translation>
    </message>
    <message>
        <source>Event log</source>
        <translation>事件日志</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>演出</translation>
    </message>
    <message>
        <source>Open show…</source>
        <translation>打开演出…</translation>
    </message>
    <message>
        <source>Save show…</source>
        <translation>保存演出…</translation>
    </message>
    <message>
        <source>Compare with show…</source>
        <translation>与演出比较…</translation>
    </message>
    <message>
        <source>Send show…</source>
        <translation>发送演出…</translation>
    </message>
    <message>
        <source>Work offline</source>
        <translation>离线工作</translation>
    </message>
    <message>
        <source>Show files (*.vx4show)</source>
        <translation>演出文件 (*.vx4show)</translation>
    </message>
    <message>
        <source>Open show</source>
        <translation>打开演出</translation>
    </message>
    <message>
        <source>Save show</source>
        <translation>保存演出</translation>
    </message>
    <message>
        <source>The show cannot be opened: %1</source>
        <translation>无法打开演出：%1</translation>
    </message>
    <message>
        <source>The show cannot be saved to %1: %2</source>
        <translation>无法将演出保存到 %1：%2</translation>
    </message>
    <message>
        <source>The device list is empty: search the bus first.</source>
        <translation>设备列表为空：请先搜索总线。</translation>
    </message>
    <message>
        <source>These amplifiers did not answer: %1. Their entries in the show are left as they were.</source>
        <translation>以下功放没有应答：%1。演出中它们的条目保持不变。</translation>
    </message>
    <message>
        <source>Offline there is no amplifier to compare with: leave offline work first.</source>
        <translation>离线时没有可比较的功放：请先退出离线工作。</translation>
    </message>
    <message>
        <source>new show</source>
        <translation>新演出</translation>
    </message>
    <message>
        <source>Amplifier %1: did not answer; nothing was sent to it</source>
        <translation>功放 %1：没有应答，未向其发送任何内容</translation>
    </message>
    <message>
        <source>Amplifier %1: frames sent: %2; it did not answer the read-back</source>
        <translation>功放 %1：已发送 %2 帧；回读时没有应答</translation>
    </message>
    <message>
        <source>Amplifier %1: in sync; frames sent: %2</source>
        <translation>功放 %1：已同步；已发送 %2 帧</translation>
    </message>
    <message>
        <source>Amplifier %1: still differs: %2</source>
        <translation>功放 %1：仍有不同：%2</translation>
    </message>
    <message>
        <source>The show has changes that are not saved. Save them?</source>
        <translation>演出有未保存的更改。是否保存？</translation>
    </message>
</context>
</TS>
