//+------------------------------------------------------------------+
//| CloseAll.mq4 - closes every open order of the chart's symbol      |
//+------------------------------------------------------------------+
#property copyright "Brenholt"
#property show_confirm

int start()
{
   for (int i = OrdersTotal() - 1; i >= 0; i--)
      if (OrderSelect(i, SELECT_BY_POS) && OrderSymbol() == Symbol())
         OrderClose(OrderTicket(), OrderLots(), Bid, 3, Red);
   return(0);
}
