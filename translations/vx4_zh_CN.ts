<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
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
</context>
<context>
    <name>SerialPorts</name>
    <message>
        <source>Serial port</source>
        <translation>串口</translation>
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
</context>
</TS>
