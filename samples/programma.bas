10 REM Un piccolo programma
20 FOR I = 1 TO 10
30   PRINT "Riga"; I
40 NEXT I
50 END
