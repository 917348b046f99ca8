//+------------------------------------------------------------------+
//| TrendBands.mq4 - a moving average with a band around it           |
//+------------------------------------------------------------------+
#property copyright "Brenholt"
#property indicator_chart_window
#property indicator_buffers 1
#property indicator_color1 DodgerBlue

extern int Period = 20;
double Middle[];

int init()
{
   SetIndexBuffer(0, Middle);
   return(0);
}

int start()
{
   for (int i = Bars - IndicatorCounted() - 1; i >= 0; i--)
      Middle[i] = iMA(NULL, 0, Period, 0, MODE_SMA, PRICE_CLOSE, i);
   return(0);
}
