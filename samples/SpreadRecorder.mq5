//+------------------------------------------------------------------+
//| SpreadRecorder.mq5 - writes the spread to a file once a minute   |
//+------------------------------------------------------------------+
#property copyright "Brenholt"
#property service

void OnStart()
{
   int file = FileOpen("spread.csv", FILE_WRITE | FILE_CSV);
   while (!IsStopped())
   {
      FileWrite(file, TimeCurrent(), SymbolInfoInteger(_Symbol, SYMBOL_SPREAD));
      FileFlush(file);
      Sleep(60000);
   }
   FileClose(file);
}
