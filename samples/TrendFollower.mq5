//+------------------------------------------------------------------+
//| TrendFollower.mq5 - buys above its moving average, sells below   |
//+------------------------------------------------------------------+
#property copyright "Brenholt"
#include <Trade\Trade.mqh>

input int    Period = 50;
input double Lots   = 0.10;

CTrade trade;
int    average;

int OnInit()
{
   average = iMA(_Symbol, _Period, Period, 0, MODE_SMA, PRICE_CLOSE);
   return(average == INVALID_HANDLE ? INIT_FAILED : INIT_SUCCEEDED);
}

void OnTick()
{
   double value[1];
   if (CopyBuffer(average, 0, 0, 1, value) != 1 || PositionSelect(_Symbol))
      return;
   double price = SymbolInfoDouble(_Symbol, SYMBOL_BID);
   if (price > value[0])
      trade.Buy(Lots);
   else
      trade.Sell(Lots);
}
