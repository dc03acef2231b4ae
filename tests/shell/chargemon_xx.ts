<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="xx">
<context>
    <name>Captions</name>
    <message>
        <source>Copy</source>
        <translation>xx Copy</translation>
    </message>
</context>
</TS>
