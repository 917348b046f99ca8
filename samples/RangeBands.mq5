//+------------------------------------------------------------------+
//| RangeBands.mq5 - the highest high and lowest low of recent bars  |
//+------------------------------------------------------------------+
#property copyright "Brenholt"
#property indicator_chart_window
#property indicator_buffers 2
#property indicator_plots   2

input int Length = 20;
double Upper[], Lower[];

int OnInit()
{
   SetIndexBuffer(0, Upper, INDICATOR_DATA);
   SetIndexBuffer(1, Lower, INDICATOR_DATA);
   return(INIT_SUCCEEDED);
}

int OnCalculate(const int rates_total, const int prev_calculated, const datetime &time[],
                const double &open[], const double &high[], const double &low[],
                const double &close[], const long &tick_volume[], const long &volume[],
                const int &spread[])
{
   for (int i = MathMax(prev_calculated - 1, Length); i < rates_total; i++)
   {
      Upper[i] = high[ArrayMaximum(high, i - Length + 1, Length)];
      Lower[i] = low[ArrayMinimum(low, i - Length + 1, Length)];
   }
   return(rates_total);
}
