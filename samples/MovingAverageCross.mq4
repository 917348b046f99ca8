//+------------------------------------------------------------------+
//| MovingAverageCross.mq4 - trades the cross of two moving averages  |
//+------------------------------------------------------------------+
#property copyright "Brenholt"

extern int    FastPeriod = 12;
extern int    SlowPeriod = 26;
extern double Lots       = 0.1;

int start()
{
   double fast = iMA(NULL, 0, FastPeriod, 0, MODE_EMA, PRICE_CLOSE, 0);
   double slow = iMA(NULL, 0, SlowPeriod, 0, MODE_EMA, PRICE_CLOSE, 0);
   if (OrdersTotal() == 0 && fast > slow)
      OrderSend(Symbol(), OP_BUY, Lots, Ask, 3, 0, 0, "cross", 0, 0, Green);
   return(0);
}
