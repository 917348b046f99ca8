//+------------------------------------------------------------------+
//| CloseAllPositions.mq5 - closes every open position              |
//+------------------------------------------------------------------+
#property copyright "Brenholt"
#include <Trade\Trade.mqh>

void OnStart()
{
   CTrade trade;
   for (int i = PositionsTotal() - 1; i >= 0; i--)
      trade.PositionClose(PositionGetTicket(i));
}
